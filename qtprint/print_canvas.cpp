#include "qtprint/print_canvas.h"

#include <QDate>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPen>
#include <QStringList>

#include "data/gbk_text.h"

namespace velmor {
namespace {

QString FromGbk(std::string_view gbk) {
  return QString::fromStdString(GbkToUtf8(gbk));
}

// The family list print text uses: the requested face, then installed Kai-style faces.
QFont KaiFont(const QString& requested, int pointSize) {
  QFont font;
  font.setFamilies({requested, QStringLiteral("楷体_GB2312"), QStringLiteral("KaiTi"),
                    QStringLiteral("AR PL KaitiM GB"), QStringLiteral("AR PL UKai CN"),
                    QStringLiteral("AR PL SungtiL GB")});
  font.setPointSize(pointSize);
  return font;
}

}  // namespace

QtPrintCanvas::QtPrintCanvas(QPagedPaintDevice& printer) : printer_(printer) {}

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

namespace {

std::tm Today() {
  const QDate today = QDate::currentDate();
  std::tm tm{};
  tm.tm_year = today.year() - 1900;
  tm.tm_mon = today.month() - 1;
  tm.tm_mday = today.day();
  return tm;
}

}  // namespace

bool PrintGridOn(QPagedPaintDevice& printer, const TStringGrid& grid, bool detail, int rowCount) {
  QtPrintCanvas canvas(printer);
  PrintGrid(canvas, grid, detail, rowCount, Today());
  return canvas.Open();
}

bool PrintGridOn(QPagedPaintDevice& printer, const TStringGrid& grid,
                 const std::vector<std::string>& titles, bool detail, int rowCount) {
  QtPrintCanvas canvas(printer);
  PrintGrid(canvas, grid, titles, detail, rowCount, Today());
  return canvas.Open();
}

}  // namespace velmor
