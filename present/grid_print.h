// Printing a grid as a ruled table with page heads and page numbers, on any canvas.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "present/string_grid.h"

namespace velmor {

// A page-based drawing surface in device pixels; the print job is opened and closed around
// PrintGrid by whoever owns the canvas.
class TPrintCanvas {
 public:
  virtual ~TPrintCanvas() = default;
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;
  virtual int DpiX() const = 0;
  virtual int DpiY() const = 0;
  // Turns the sheet to landscape or back; only before anything is drawn. The page width and
  // height follow the turn.
  virtual void SetLandscape(bool landscape) = 0;
  // The width in device pixels of GBK text in the named font.
  virtual int TextWidth(std::string_view gbkText, std::string_view fontName,
                        int pointSize) const = 0;
  // Draws GBK text with its top-left corner at (x, y) in the named font (name in GBK).
  virtual void TextOut(int x, int y, std::string_view gbkText, std::string_view fontName,
                       int pointSize) = 0;
  virtual void Line(int x1, int y1, int x2, int y2, int penWidth) = 0;
  virtual void NewPage() = 0;
  // The current page, counted from 1.
  virtual int PageNumber() const = 0;
};

// The publisher named on prints and exports (GBK).
std::string PublisherName();
std::string PublisherAddress();

// Print and export title of a result column ("车次".."软卧"); "" outside 0..14.
std::string ResultColumnTitles(int column);
// Print and export title of a detail column ("站序".."时速"); "" outside 0..7.
std::string DetailColumnTitles(int column);

// Prints rows 0..rowCount-1 of all columns, dated `today`: the result list on landscape sheets,
// the detail list on portrait ones unless a text would not fit its column there; a text still
// wider than its column is drawn smaller, down to 6 points.
void PrintGrid(TPrintCanvas& canvas, const TStringGrid& grid, bool detail, int rowCount,
               const std::tm& today);
// PrintGrid of any list under its own column titles; upright sheets only where allowed.
void PrintGrid(TPrintCanvas& canvas, const TStringGrid& grid,
               const std::vector<std::string>& titles, bool mayStandUpright, int rowCount,
               const std::tm& today);

}  // namespace velmor
