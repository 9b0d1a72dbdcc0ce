// The print canvas of the core's PrintGrid, drawn with QPainter on any paged device: the
// window's printer, or the PDF file velmor-cli writes.
#pragma once

#include <QPainter>
#include <string>
#include <string_view>
#include <vector>

#include "present/grid_print.h"

class QPagedPaintDevice;

namespace velmor {

// Opens the print job at the first drawing (after the sheet has been turned) and closes it when
// destroyed.
class QtPrintCanvas : public TPrintCanvas {
 public:
  explicit QtPrintCanvas(QPagedPaintDevice& printer);
  ~QtPrintCanvas() override;
  QtPrintCanvas(const QtPrintCanvas&) = delete;
  QtPrintCanvas& operator=(const QtPrintCanvas&) = delete;

  // Opens the job if nothing has been drawn yet; whether the printer could be opened at all.
  bool Open();

  int PageWidth() const override;
  int PageHeight() const override;
  int DpiX() const override;
  int DpiY() const override;
  void SetLandscape(bool landscape) override;
  int TextWidth(std::string_view gbkText, std::string_view fontName, int pointSize) const override;
  void TextOut(int x, int y, std::string_view gbkText, std::string_view fontName,
               int pointSize) override;
  void Line(int x1, int y1, int x2, int y2, int penWidth) override;
  void NewPage() override;
  int PageNumber() const override { return page_; }

 private:
  QPagedPaintDevice& printer_;
  QPainter painter_;
  bool begun_ = false;
  bool ok_ = false;
  int page_ = 1;
};

// Prints rows 0..rowCount-1 of `grid` on `printer` through PrintGrid, dated today.
// False when the printer could not be opened.
bool PrintGridOn(QPagedPaintDevice& printer, const TStringGrid& grid, bool detail, int rowCount);

// The same under the column titles of a list that has its own (the journey plans).
bool PrintGridOn(QPagedPaintDevice& printer, const TStringGrid& grid,
                 const std::vector<std::string>& titles, bool detail, int rowCount);

}  // namespace velmor
