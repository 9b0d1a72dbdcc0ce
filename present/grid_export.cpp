#include "present/grid_export.h"

#include <filesystem>
#include <fstream>
#include <random>

#include "present/grid_print.h"

namespace velmor {
namespace {

std::string JoinRow(const std::vector<std::string>& cells) {
  std::string line;
  for (size_t k = 0; k < cells.size(); ++k) {
    if (k > 0) line += ',';
    line += CsvField(cells[k]);
  }
  return line;
}

// A name beside the target that no other file has, so that the target is never opened.
std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
  std::random_device seed;
  std::mt19937_64 gen(seed());
  std::filesystem::path candidate;
  for (int attempt = 0; attempt < 100; ++attempt) {
    candidate = target;
    candidate += ".part" + std::to_string(gen() % 1000000000u);
    std::error_code ec;
    // An unreadable folder is found out when the file is created.
    if (!std::filesystem::exists(candidate, ec)) break;
  }
  return candidate;
}

}  // namespace

std::string CsvField(std::string_view cell) {
  if (cell.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(cell);
  std::string out = "\"";
  for (char c : cell) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::vector<std::string> ExportLines(const TStringGrid& grid, bool detail, int rowCount) {
  std::vector<std::string> lines = {"", "", PublisherName(), PublisherAddress(), "", ""};
  const int n = grid.ColCount();
  std::vector<std::string> cells(static_cast<size_t>(n));
  for (int k = 0; k < n; ++k) {
    cells[static_cast<size_t>(k)] = detail ? DetailColumnTitles(k) : ResultColumnTitles(k);
  }
  lines.push_back(JoinRow(cells));
  for (int r = 0; r < rowCount; ++r) {
    for (int k = 0; k < n; ++k) cells[static_cast<size_t>(k)] = grid.Cells(k, r);
    lines.push_back(JoinRow(cells));
  }
  return lines;
}

bool WriteExportFile(const std::string& path, const std::vector<std::string>& lines,
                     std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = "cannot write " + path + ": " + why;
    return false;
  };
  if (path.empty()) return fail("no file name");
  const std::filesystem::path target(path);
  const std::filesystem::path temp = TemporaryBeside(target);
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return fail("the file cannot be created");
    for (const std::string& line : lines) {
      out.write(line.data(), static_cast<std::streamsize>(line.size()));
      out.write("\r\n", 2);
    }
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      return fail("writing failed");
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, target, ec);
  if (ec) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    return fail(ec.message());
  }
  return true;
}

}  // namespace velmor
