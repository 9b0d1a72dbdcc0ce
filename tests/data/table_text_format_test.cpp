#include "data/table_text_format.h"

#include <gtest/gtest.h>

#include "data/mem_table.h"
#include "data/table_cursor.h"
#include "test_tables.h"

namespace velmor {
namespace {

using testing::GbkText;

// A two-field table in the shape of the same-city groups.
const char* const kGroupSchema[] = {
    R"("@@FILE VERSION@@","251")",
    R"("@@TABLEDEF START@@")",
    R"("Station=WideString,20,""Station"","""",20,Data,""""")",
    R"("Gp=Integer,0,""Gp"","""",10,Data,""""")",
    R"("@@INDEXDEF START@@")",
    R"("SStation=""Station"",""SStation"",UNIQ")",
    R"("SGp=""Gp"",""SGp""")",
    R"("@@INDEXDEF END@@")",
    R"("@@TABLEDEF END@@")",
};

std::string GroupTable(std::initializer_list<std::string_view> rows) {
  std::string text;
  for (const char* l : kGroupSchema) text += std::string(l) + "\r\n";
  for (std::string_view r : rows) text += Utf8ToGbk(r) + "\r\n";
  return text;
}

TEST(TableTextFormat, FieldDefinitionLineGivesEveryAttribute) {
  TTableTextFormat f;
  TFieldDef d = f.ParseFieldDef(R"(ID=WideString,35,"ID","",35,Data,"")");
  EXPECT_EQ(d.Name, "ID");
  EXPECT_EQ(d.DataType, TFieldType::ftWideString);
  EXPECT_EQ(d.Size, 35);
  EXPECT_EQ(d.DisplayLabel, "ID");
  EXPECT_EQ(d.EditMask, "");
  EXPECT_EQ(d.DisplayWidth, 35);
  EXPECT_EQ(d.Kind, "Data");
  EXPECT_EQ(d.DefaultExpression, "");
  EXPECT_FALSE(d.Required);
  EXPECT_TRUE(d.Visible);

  TFieldDef n = f.ParseFieldDef(R"(NType=SmallInt,0,"NType","",10,Lookup)");
  EXPECT_EQ(n.DataType, TFieldType::ftSmallint);
  EXPECT_EQ(n.Kind, "Lookup");
  EXPECT_EQ(f.ParseFieldDef(R"(X=Integer,0,"X","",10,Weird)").Kind, "Data");
  EXPECT_TRUE(f.ParseFieldDef(R"(X=Integer,0,"X","",10,Data,"",REQ,INV)").Required);
  EXPECT_FALSE(f.ParseFieldDef(R"(X=Integer,0,"X","",10,Data,"",REQ,INV)").Visible);
}

TEST(TableTextFormat, CompoundIndexLineKeepsFieldOrder) {
  TTableTextFormat f;
  TIndexDef ix = f.ParseIndexDef(R"(SIDNo="ID;S_No","SIDNo",UNIQ)");
  EXPECT_EQ(ix.Name, "SIDNo");
  ASSERT_EQ(ix.FieldNames.size(), 2u);
  EXPECT_EQ(ix.FieldNames[0], "ID");
  EXPECT_EQ(ix.FieldNames[1], "S_No");
  EXPECT_TRUE(ix.Unique);
  EXPECT_FALSE(f.ParseIndexDef(R"(SGp="Gp","SGp")").Unique);
}

TEST(TableTextFormat, SplitLineFollowsQuoteRules) {
  TTableTextFormat f;
  using V = std::vector<std::string>;
  EXPECT_EQ(f.SplitLine(R"("a""b","",)"), (V{"a\"b", ""}));
  EXPECT_EQ(f.SplitLine(R"(ab"cd"e,"x,y",)"), (V{"abcde", "x,y"}));
  EXPECT_EQ(f.SplitLine(R"("Station","Gp",)"), (V{"Station", "Gp"}));
  EXPECT_EQ(f.SplitLine(R"("@@FILE VERSION@@","251")"), (V{"@@FILE VERSION@@", "251"}));
  EXPECT_EQ(f.SplitLine(R"(,,)"), (V{"", ""}));
}

TEST(TableTextFormat, FirstStopRowLoadsEmptyTextsAndZeroDistance) {
  TMemTable t;
  TTableTextFormat f;
  std::string text = testing::ReadFixture("tables/STRAIN.txt");
  t.LoadFromStreamViaFormat(text, f);
  t.SetIndexName("SIDNo");
  TTableCursor c(t);
  ASSERT_TRUE(c.Locate("ID", "1043"));
  EXPECT_EQ(c.FieldByName("Station").AsString(), G("西安"));
  EXPECT_EQ(c.FieldByName("A_Time").AsString(), "");
  EXPECT_EQ(c.FieldByName("D_Time").AsString(), "21:25");
  EXPECT_EQ(c.FieldByName("R_Date").AsString(), "0");
  EXPECT_EQ(c.FieldByName("Distance").AsInteger(), 0);
  for (const char* p : {"P1", "P2", "P3", "P4"}) EXPECT_EQ(c.FieldByName(p).AsString(), "");
}

TEST(TableTextFormat, LineBreaksOfAnyKindAndBlankLines) {
  std::string text = GroupTable({});
  text += "\"Station\",\"Gp\",\n" + G("\"安庆\",\"1\",") + "\r\n\r\n\n" + G("\"安庆西\",\"1\",");
  TMemTable t;
  TTableTextFormat f;
  t.LoadFromStreamViaFormat(text, f);
  ASSERT_EQ(t.RecordCount(), 2u);
  TTableCursor c(t);
  c.Last();
  EXPECT_EQ(c.FieldByName("Station").AsString(), G("安庆西"));
}

TEST(TableTextFormat, NullIntegerEscapesAndHeaderCase) {
  std::string text =
      GroupTable({R"("gp","STATION",)", R"("","a%%b%c%n",)", R"(7,"tail%",)", R"(,"x%q",)"});
  TMemTable t;
  TTableTextFormat f;
  t.LoadFromStreamViaFormat(text, f);
  ASSERT_EQ(t.RecordCount(), 3u);
  TTableCursor c(t);
  TField gp = c.FieldByName("GP");
  TField st = c.FieldByName("station");
  EXPECT_TRUE(gp.IsNull());
  EXPECT_EQ(gp.AsInteger(), 0);
  EXPECT_EQ(gp.AsString(), "");
  EXPECT_EQ(st.AsString(), "a%b\r\n");
  c.Next();
  EXPECT_EQ(gp.AsInteger(), 7);
  EXPECT_EQ(st.AsString(), "tail");
  c.Next();
  EXPECT_TRUE(gp.IsNull());
  EXPECT_EQ(st.AsString(), "x%q");
}

TEST(TableTextFormat, ExtraAndMissingValuesInARow) {
  std::string text = GroupTable({R"("Station","Gp",)", R"("a","1","ignored",)", R"("b",)"});
  TMemTable t;
  TTableTextFormat f;
  t.LoadFromStreamViaFormat(text, f);
  ASSERT_EQ(t.RecordCount(), 2u);
  TTableCursor c(t);
  c.Last();
  EXPECT_EQ(c.FieldByName("Station").AsString(), "b");
  EXPECT_TRUE(c.FieldByName("Gp").IsNull());
}

// Two header columns naming one field: the later value is the field's, also when both values
// need their doubled quotes undone.
TEST(TableTextFormat, TheLaterOfTwoColumnsForOneFieldWins) {
  std::string text = GroupTable({R"("Station","Station","Gp",)", R"("a""b","c""d","1",)"});
  TMemTable t;
  TTableTextFormat f;
  t.LoadFromStreamViaFormat(text, f);
  TTableCursor c(t);
  EXPECT_EQ(c.FieldByName("Station").AsString(), "c\"d");
  EXPECT_EQ(c.FieldByName("Gp").AsInteger(), 1);
}

TEST(TableTextFormat, ColumnsMatchingNoFieldAreSkipped) {
  std::string text = GroupTable({R"("Other","Gp","Station",)", R"("x","3","c",)"});
  TMemTable t;
  TTableTextFormat f;
  t.LoadFromStreamViaFormat(text, f);
  TTableCursor c(t);
  EXPECT_EQ(c.FieldByName("Station").AsString(), "c");
  EXPECT_EQ(c.FieldByName("Gp").AsInteger(), 3);
}

TEST(TableTextFormat, FailuresRaiseTheirMessages) {
  TTableTextFormat f;
  TMemTable t;
  std::string unknown = R"("@@TABLEDEF START@@")"
                        "\r\n"
                        R"("X=Float,0,""X"","""",10,Data,""""")"
                        "\r\n";
  try {
    t.LoadFromStreamViaFormat(unknown, f);
    FAIL() << "unknown type accepted";
  } catch (const TableError& e) {
    EXPECT_STREQ(e.what(),
                 R"(Unknown field type (Float) in CSV file. (Float,0,"X","",10,Data,"") (line 2))");
  }
  auto message = [&](const std::string& text) {
    try {
      TMemTable table;
      table.LoadFromStreamViaFormat(text, f);
    } catch (const TableError& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  // Messages end with the line they arose on: the schema takes lines 1-9, the header line 10.
  EXPECT_EQ(message(GroupTable({})), "Couldnt determine field count for load. (line 9)");
  EXPECT_EQ(message(GroupTable({R"("Nothing","Known",)"})),
            "Couldnt determine field count for load. (line 10)");
  EXPECT_EQ(message(GroupTable({R"("Station","Gp",)", R"("a","1",)", R"("a","2",)"})),
            "Duplicate index value. Operation aborted.");
  EXPECT_EQ(message(GroupTable({R"("Station","Gp",)", R"("a","1",)", "", R"("a","x1",)"})),
            "'x1' is not a valid integer value for field 'Gp' (line 13)");
  // Equal keys in an index that is not unique are fine.
  EXPECT_EQ(message(GroupTable({R"("Station","Gp",)", R"("a","1",)", R"("b","1",)"})), "no error");
}

TEST(TableTextFormat, SmallIntRangeIsChecked) {
  std::string text = R"("@@TABLEDEF START@@")"
                     "\r\n"
                     R"("N=SmallInt,0,""N"","""",10,Data,""""")"
                     "\r\n"
                     R"("@@TABLEDEF END@@")"
                     "\r\n\"N\",\r\n\"40000\",\r\n";
  TMemTable t;
  TTableTextFormat f;
  EXPECT_THROW(t.LoadFromStreamViaFormat(text, f), TableError);
  EXPECT_EQ(t.RecordCount(), 0u);
}

// Truncated and mutated copies of a real table text either load or raise; nothing else.
TEST(TableTextFormat, DamagedTextsLoadOrRaise) {
  const std::string text = testing::ReadFixture("tables/STRAIN.txt");
  ASSERT_FALSE(text.empty());
  uint32_t seed = 12345;
  auto rnd = [&] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  int loaded = 0;
  int raised = 0;
  for (int i = 0; i < 400; ++i) {
    std::string copy = text.substr(0, rnd() % (text.size() + 1));
    if (i % 2 == 1) {
      copy = text;
      for (int k = 0; k < 8; ++k) copy[rnd() % copy.size()] = static_cast<char>(rnd() & 0xFF);
    }
    TMemTable t;
    TTableTextFormat f;
    try {
      t.LoadFromStreamViaFormat(copy, f);
      for (TTableCursor c(t); !c.Eof(); c.Next()) {
        for (size_t k = 0; k < t.FieldDefs().size(); ++k) {
          (void)TField(&c, static_cast<int>(k)).AsString();
        }
      }
      ++loaded;
    } catch (const TableError&) {
      ++raised;
    }
  }
  EXPECT_GT(loaded, 0);
  EXPECT_GT(raised, 0);
}

}  // namespace
}  // namespace velmor
