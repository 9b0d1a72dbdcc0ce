#include "cli/cli_output.h"

#include <algorithm>
#include <cerrno>
#include <iostream>

#include "data/gbk_text.h"
#include "present/grid_export.h"
#include "present/grid_print.h"

namespace velmor {
namespace {

// Rows of GBK cells under GBK captions (table and csv) and stable ASCII keys (json), one per
// column; everything is converted to UTF-8 only when written.
struct Listing {
  std::vector<std::string> Captions;
  std::vector<std::string> Keys;
  std::vector<std::vector<std::string>> Rows;
};

// Scripts read json by these names, so they never change with the captions.
const std::vector<std::string> kResultKeys = {
    "train", "start", "end",      "type",      "from",      "depart",       "to",          "arrive",
    "stops", "km",    "duration", "hard_seat", "soft_seat", "hard_sleeper", "soft_sleeper"};
const std::vector<std::string> kTransferKeys = {"station",  "first_km",       "second_km",
                                                "km",       "first_duration", "second_duration",
                                                "duration", "first_trains",   "second_trains"};
const std::vector<std::string> kDetailKeys = {"stop", "station", "km",    "arrive", "depart",
                                              "day",  "elapsed", "speed", "stretch"};

Listing FromGrid(const TStringGrid& grid, int rows, const std::vector<std::string>& captions,
                 const std::vector<std::string>& keys) {
  Listing l{captions, keys, {}};
  for (int r = 0; r < rows; ++r) {
    std::vector<std::string> cells;
    for (int k = 0; k < static_cast<int>(captions.size()); ++k) cells.push_back(grid.Cells(k, r));
    l.Rows.push_back(std::move(cells));
  }
  return l;
}

void WriteCsv(std::ostream& out, const Listing& l) {
  for (const auto& row : l.Rows) {
    std::string line;
    for (size_t k = 0; k < row.size(); ++k) {
      if (k > 0) line += ',';
      line += CsvField(row[k]);
    }
    out << GbkToUtf8(line) << '\n';
  }
}

std::string JsonString(const std::string& utf8) {
  std::string s = "\"";
  for (unsigned char c : utf8) {
    if (c == '"' || c == '\\') {
      s += '\\';
      s += static_cast<char>(c);
    } else if (c < 0x20) {
      static const char* hex = "0123456789abcdef";
      s += "\\u00";
      s += hex[c >> 4];
      s += hex[c & 15];
    } else {
      s += static_cast<char>(c);
    }
  }
  return s + "\"";
}

void WriteJson(std::ostream& out, const Listing& l) {
  if (l.Rows.empty()) {
    out << "[]\n";
    return;
  }
  out << "[\n";
  for (size_t r = 0; r < l.Rows.size(); ++r) {
    out << "  {";
    for (size_t k = 0; k < l.Captions.size(); ++k) {
      if (k > 0) out << ", ";
      out << JsonString(l.Keys[k]) << ": " << JsonString(GbkToUtf8(l.Rows[r][k]));
    }
    out << (r + 1 < l.Rows.size() ? "},\n" : "}\n");
  }
  out << "]\n";
}

// GBK takes two bytes for a character a terminal shows two columns wide, so byte counts align.
void WriteTable(std::ostream& out, const Listing& l) {
  std::vector<size_t> width(l.Captions.size());
  for (size_t k = 0; k < width.size(); ++k) {
    width[k] = l.Captions[k].size();
    for (const auto& row : l.Rows) width[k] = std::max(width[k], row[k].size());
  }
  auto line = [&](const std::vector<std::string>& cells) {
    std::string s;
    for (size_t k = 0; k < cells.size(); ++k) {
      if (k > 0) s += "  ";
      s += cells[k];
      if (k + 1 < cells.size()) s.append(width[k] - cells[k].size(), ' ');
    }
    out << GbkToUtf8(s) << '\n';
  };
  line(l.Captions);
  for (const auto& row : l.Rows) line(row);
}

void Write(std::ostream& out, CliFormat format, const Listing& l) {
  switch (format) {
    case CliFormat::Csv:
      WriteCsv(out, l);
      break;
    case CliFormat::Json:
      WriteJson(out, l);
      break;
    case CliFormat::Table:
      WriteTable(out, l);
      break;
  }
}

}  // namespace

void WriteResults(std::ostream& out, CliFormat format, const ResultView& view, int shownRows) {
  std::vector<std::string> captions;
  for (int k = 0; k < view.SGrid.ColCount(); ++k) captions.push_back(ResultColumnCaption(k));
  Write(out, format, FromGrid(view.SGrid, shownRows, captions, kResultKeys));
  if (format == CliFormat::Table) out << GbkToUtf8(view.LabResult) << '\n';
}

void WriteTransferList(std::ostream& out, CliFormat format, const ZzzView& view) {
  std::vector<std::string> captions;
  for (int k = 0; k < view.ZGrid.ColCount(); ++k) captions.push_back(ZzzColumnCaption(k));
  if (format == CliFormat::Table) out << GbkToUtf8(view.Caption) << '\n';
  Write(out, format, FromGrid(view.ZGrid, view.ZZCount, captions, kTransferKeys));
  if (format == CliFormat::Table) out << GbkToUtf8(view.LabInfo) << '\n';
}

void WriteTrainDetail(std::ostream& out, CliFormat format, const MsgView& view) {
  std::vector<std::string> captions;
  for (int k = 0; k < view.MGrid.ColCount(); ++k) captions.push_back(DetailColumnTitles(k));
  Listing l = FromGrid(view.MGrid, view.FilledRows, captions, kDetailKeys);
  const bool table = format == CliFormat::Table;
  l.Captions.push_back(G("区间"));
  for (size_t r = 0; r < l.Rows.size(); ++r) {
    const bool stretch = IsStretchRow(view, static_cast<int>(r));
    l.Rows[r].push_back(table ? (stretch ? "*" : "") : (stretch ? "1" : "0"));
  }
  if (format != CliFormat::Json) {
    if (table) out << GbkToUtf8(view.Caption) << '\n';
    out << GbkToUtf8(view.LabQC) << '\n' << GbkToUtf8(view.LabQJ) << '\n';
  }
  Write(out, format, l);
}

void WriteNoDirectTrain(std::ostream& out, CliFormat format, const std::string& fromUtf8,
                        const std::string& toUtf8) {
  if (format == CliFormat::Json) out << "[]\n";
  if (format != CliFormat::Table) return;
  out << "两站之间无直达列车。\n"
      << "中转站查询: velmor-cli zzz " << fromUtf8 << ' ' << toUtf8 << '\n';
}

void WriteRows(std::ostream& out, CliFormat format, const std::vector<std::string>& captions,
               const std::vector<std::string>& keys,
               const std::vector<std::vector<std::string>>& rows) {
  Write(out, format, Listing{captions, keys, rows});
}

std::string JsonQuoted(const std::string& utf8) {
  return JsonString(utf8);
}

int WriteCliExport(const std::string& path, const std::vector<std::string>& lines,
                   std::ostream& err) {
  std::string error;
  int number = 0;
  if (WriteExportFile(path, lines, &error, &number)) return 0;
  err << "velmor-cli: 无法创建文件“" << path << "”。" << GbkToUtf8(ExportErrorText(number)) << '\n';
  return 1;
}

int FlushedStatus(int status, std::ostream& err) {
  errno = 0;
  if (!std::cout.flush() && errno != EPIPE) {
    err << "velmor-cli: 无法写出结果。\n";
    return 1;
  }
  return status;
}

}  // namespace velmor
