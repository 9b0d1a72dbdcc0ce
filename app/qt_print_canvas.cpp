#include "app/qt_print_canvas.h"

#include <QDate>
#include <QPen>
#include <QPrinter>

#include "app/app_fonts.h"
#include "app/qt_text.h"

namespace velmor {

QtPrintCanvas::QtPrintCanvas(QPrinter& printer) : printer_(printer) {}

bool QtPrintCanvas::Open() {
  if (!begun_) {
    begun_ = true;
    ok_ = painter_.begin(&printer_);
  }
  return ok_;
}

QtPrintCanvas::~QtPrintCanvas() {
  if (ok_) painter_.end();
}

int QtPrintCanvas::PageWidth() const {
  return printer_.width();
}

int QtPrintCanvas::PageHeight() const {
  return printer_.height();
}

int QtPrintCanvas::DpiX() const {
  return printer_.logicalDpiX();
}

int QtPrintCanvas::DpiY() const {
  return printer_.logicalDpiY();
}

void QtPrintCanvas::SetLandscape(bool landscape) {
  // Once the job is open the sheet can no longer turn.
  if (begun_) return;
  printer_.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

int QtPrintCanvas::TextWidth(std::string_view gbkText, std::string_view fontName,
                             int pointSize) const {
  const QFontMetrics metrics(KaiFont(FromGbk(fontName), pointSize), &printer_);
  return metrics.horizontalAdvance(FromGbk(gbkText));
}

void QtPrintCanvas::TextOut(int x, int y, std::string_view gbkText, std::string_view fontName,
                            int pointSize) {
  if (!Open()) return;
  // Point sizes scale with the printer's resolution, as on any printer canvas.
  painter_.setFont(KaiFont(FromGbk(fontName), pointSize));
  const QFontMetrics metrics = painter_.fontMetrics();
  painter_.drawText(x, y + metrics.ascent(), FromGbk(gbkText));
}

void QtPrintCanvas::Line(int x1, int y1, int x2, int y2, int penWidth) {
  if (!Open()) return;
  painter_.setPen(QPen(Qt::black, penWidth));
  painter_.drawLine(x1, y1, x2, y2);
}

void QtPrintCanvas::NewPage() {
  if (!Open()) return;
  printer_.newPage();
  ++page_;
}

bool PrintGridOn(QPrinter& printer, const TStringGrid& grid, bool detail, int rowCount) {
  QtPrintCanvas canvas(printer);
  const QDate today = QDate::currentDate();
  std::tm tm{};
  tm.tm_year = today.year() - 1900;
  tm.tm_mon = today.month() - 1;
  tm.tm_mday = today.day();
  PrintGrid(canvas, grid, detail, rowCount, tm);
  return canvas.Open();
}

}  // namespace velmor
