// Exporting a grid as comma-separated GBK text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "present/string_grid.h"

namespace velmor {

// A cell as one comma-separated field: quoted, quotes doubled, when it holds a comma, a double
// quote, CR or LF; unchanged otherwise.
std::string CsvField(std::string_view cell);

// The export file's lines: publisher lines, title line, then rows 0..rowCount-1. A cell with a
// comma, double quote, CR or LF is quoted with its quotes doubled; every other cell is as shown.
std::vector<std::string> ExportLines(const TStringGrid& grid, bool detail, int rowCount);

// Writes the lines, each ended by CR LF, to a new temporary file created beside `path` and renames
// it over `path` (a name in the file system's own encoding); on failure the file at `path` is
// untouched, `error` says why and `errorNumber` holds the system's error number.
bool WriteExportFile(const std::string& path, const std::vector<std::string>& lines,
                     std::string* error, int* errorNumber = nullptr);

// Why an export failed, for the user (GBK): one sentence for a system error number.
std::string ExportErrorText(int errorNumber);

}  // namespace velmor
