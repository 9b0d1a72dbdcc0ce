// Printing what velmor-cli shows into a PDF file, through the window's print layout.
#pragma once

#include <string>

#include "present/string_grid.h"

namespace velmor {

// Prints rows 0..rowCount-1 of `grid` (the result list, or a stop list when `detail`) into the
// PDF file `path`, replacing it only once the whole file is written. False with `error` set
// when the file cannot be written.
bool PrintToPdf(const std::string& path, const TStringGrid& grid, bool detail, int rowCount,
                std::string* error);

}  // namespace velmor
