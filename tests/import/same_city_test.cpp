#include "import/same_city.h"

#include <gtest/gtest.h>

#include <fstream>

#include "data/gbk_text.h"
#include "feed_support.h"

namespace velmor {
namespace {

TEST(SameCityGroups, BuiltInGroupsSuffixRuleAndOverrides) {
  // 50 is the last built-in group: the next new ones skip 51–59.
  SameCityGroups groups({{G("北京"), 5}, {G("北京南"), 5}, {G("安庆"), 50}},
                        {G("北京"), G("安庆"), G("芜湖")});
  groups.Assign({G("北京南"), G("北京北"), G("安庆"), G("芜湖东"), G("芜湖"), G("新城"),
                 G("新城站"), G("甲"), G("乙")},
                {{G("甲"), G("某市")}, {G("乙"), G("某市")}, {G("新城站"), G("别市")}});
  const auto& g = groups.Groups();
  EXPECT_EQ(g.at(G("北京南")), 5);
  EXPECT_EQ(g.at(G("北京北")), 5);  // the built-in station's group, though 北京 is not imported
  EXPECT_EQ(g.at(G("安庆")), 50);
  EXPECT_EQ(g.at(G("芜湖东")), 60);  // a new group for a known station and its suffixed one
  EXPECT_EQ(g.at(G("芜湖")), 60);
  EXPECT_EQ(g.at(G("新城")), 61);
  EXPECT_EQ(g.at(G("甲")), g.at(G("乙")));        // the override file's city
  EXPECT_NE(g.at(G("新城站")), g.at(G("新城")));  // wins over the rule
  EXPECT_EQ(groups.GroupCount(), 6u);
}

std::string WriteCities(const std::string& text) {
  const auto path = testing::FreshDir("cities") / "cities.csv";
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

TEST(CityOverrides, LinesCountFromTheFirstAndABadRowIsNamed) {
  const std::string good = WriteCities("\xEF\xBB\xBF甲, 某市\r\n\n\"乙\",某市,\n");
  std::string error;
  const auto read = ReadCityOverrides(good, &error);
  ASSERT_TRUE(read) << GbkToUtf8(error);
  EXPECT_EQ(*read,
            (std::map<std::string, std::string>{{G("甲"), G("某市")}, {G("乙"), G("某市")}}));

  for (const char* bad : {"甲,某市\n\n乙\n", "甲,某市\n\n乙,某市,丙\n"}) {
    const std::string path = WriteCities(bad);
    EXPECT_FALSE(ReadCityOverrides(path, &error));
    EXPECT_EQ(GbkToUtf8(error), path + ":3：应为“车站,城市”两列");
  }
  const std::string path = WriteCities("甲,某市\n\"乙,某市\n");
  EXPECT_FALSE(ReadCityOverrides(path, &error));
  EXPECT_EQ(GbkToUtf8(error), path + ":2：引号没有结束");
}

}  // namespace
}  // namespace velmor
