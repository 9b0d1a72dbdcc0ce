#include "present/grid_print.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "data/gbk_text.h"

namespace velmor {
namespace {

constexpr int kTextSize = 10;
constexpr int kSmallestTextSize = 6;

constexpr std::array<const char*, 15> kResultTitles = {"车次", "始发", "终到", "车型", "发站",
                                                       "发时", "到站", "到时", "停站", "里程",
                                                       "历时", "硬座", "软座", "硬卧", "软卧"};
constexpr std::array<const char*, 8> kDetailTitles = {"站序", "车站", "里程", "到时",
                                                      "发时", "天数", "历时", "时速"};

template <size_t N>
std::string Title(const std::array<const char*, N>& titles, int column) {
  if (column < 0 || column >= static_cast<int>(N)) return {};
  return G(titles[static_cast<size_t>(column)]);
}

// Nearest integer with halves to even, as the layout's M is defined.
int RoundHalfEven(double x) {
  const double lower = std::floor(x);
  const double frac = x - lower;
  auto n = static_cast<int>(lower);
  if (frac > 0.5 || (frac == 0.5 && n % 2 != 0)) ++n;
  return n;
}

std::string PageNumberText(int page) {
  return G("第  ") + std::to_string(page) + G("  页");
}

}  // namespace

std::string PublisherName() {
  return G("纬途火车网");
}
std::string PublisherAddress() {
  return "http://www.velmor.cn";
}

std::string ResultColumnTitles(int column) {
  return Title(kResultTitles, column);
}
std::string DetailColumnTitles(int column) {
  return Title(kDetailTitles, column);
}

void PrintGrid(TPrintCanvas& canvas, const TStringGrid& grid, bool detail, int rowCount,
               const std::tm& today) {
  std::vector<std::string> titles;
  for (int k = 0; k < grid.ColCount(); ++k) {
    titles.push_back(detail ? DetailColumnTitles(k) : ResultColumnTitles(k));
  }
  PrintGrid(canvas, grid, titles, detail, rowCount, today);
}

void PrintGrid(TPrintCanvas& canvas, const TStringGrid& grid,
               const std::vector<std::string>& titles, bool mayStandUpright, int rowCount,
               const std::tm& today) {
  const std::string font = G("楷体_GB2312");
  const int N = grid.ColCount();
  const int L = canvas.DpiX() / 3;
  const int U = canvas.DpiX() / 3;
  const int Y0 = canvas.DpiY() / 3;
  const int M = RoundHalfEven(1.5 * L);
  auto columnWidth = [&](int pageWidth) { return N > 0 ? (pageWidth - M) / N : 0; };
  auto title = [&](int k) {
    return "  " + (k < static_cast<int>(titles.size()) ? titles[static_cast<size_t>(k)] : "");
  };
  auto cell = [&](int k, int r) { return " " + grid.Cells(k, r); };
  // Fifteen result columns never hold their texts on an upright sheet; the detail list turns
  // only when one of its texts would overrun its column.
  auto fitsUpright = [&] {
    const int w = columnWidth(std::min(canvas.PageWidth(), canvas.PageHeight()));
    for (int k = 0; k < N; ++k) {
      if (canvas.TextWidth(title(k), font, kTextSize) > w) return false;
      for (int r = 0; r < rowCount; ++r) {
        if (canvas.TextWidth(cell(k, r), font, kTextSize) > w) return false;
      }
    }
    return true;
  };
  canvas.SetLandscape(!mayStandUpright || !fitsUpright());

  const int pageWidth = canvas.PageWidth();
  const int pageHeight = canvas.PageHeight();
  const int W = columnWidth(pageWidth);
  const int XR = (W + M / 15) * N;
  const std::string date = std::to_string(today.tm_year + 1900) + G("年") +
                           std::to_string(today.tm_mon + 1) + G("月") +
                           std::to_string(today.tm_mday) + G("日");
  const std::string publisher = PublisherName() + "(" + PublisherAddress() + ")";
  auto rule = [&](int y) { canvas.Line(L, y, XR, y, 2); };
  auto pageNumber = [&] {
    canvas.TextOut(pageWidth / 2 - M, pageHeight - M / 4, PageNumberText(canvas.PageNumber()), font,
                   kTextSize);
  };
  // A text in its column, as large as fits: overrunning it would write into the next column.
  auto columnText = [&](int k, int y, const std::string& text) {
    int size = kTextSize;
    while (size > kSmallestTextSize && canvas.TextWidth(text, font, size) > W) --size;
    canvas.TextOut(L + k * W, y, text, font, size);
  };

  int Y = Y0;
  for (int r = 0; r < rowCount; ++r) {
    if (Y == Y0) {
      canvas.TextOut(pageWidth / 3, U, G("纬途列车时刻表"), font, 15);
      rule(Y + 2 * U);
      canvas.TextOut(W, Y + U + M / 4, date, font, kTextSize);
      canvas.TextOut((N - 6) * W, Y + U + M / 3, publisher, font, kTextSize);
      for (int k = 0; k < N; ++k) {
        columnText(k, Y + 2 * U + U / 3, title(k));
        canvas.Line(L + k * W, Y + 2 * U, L + k * W, Y + 3 * U, 2);
      }
      canvas.Line(XR, Y + 2 * U, XR, Y + 3 * U, 2);
      Y += U;
      rule(Y + 2 * U);
    }
    for (int k = 0; k < N; ++k) {
      columnText(k, Y + 2 * U + U / 3, cell(k, r));
      canvas.Line(L + k * W, Y + 2 * U, L + k * W, Y + 3 * U, 2);
    }
    canvas.Line(XR, Y + 2 * U, XR, Y + 3 * U, 2);
    Y += U;
    // After the last row no sheet is started: it would hold nothing but a rule and a number.
    if (r + 1 < rowCount && pageHeight - 2 * M < Y + U) {
      rule(Y + 2 * U);
      Y = Y0;
      pageNumber();
      canvas.NewPage();
    }
    rule(Y + 2 * U);
  }
  pageNumber();
}

}  // namespace velmor
