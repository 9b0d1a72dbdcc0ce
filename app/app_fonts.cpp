#include "app/app_fonts.h"

#include <QStringList>

namespace velmor {

QFont SongFont(int pixelSize, bool bold) {
  QFont font;
  font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                    QStringLiteral("AR PL SungtiL GB"), QStringLiteral("WenQuanYi Zen Hei"),
                    QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

QFont KaiFont(const QString& requested, int pointSize) {
  QFont font;
  font.setFamilies({requested, QStringLiteral("楷体_GB2312"), QStringLiteral("KaiTi"),
                    QStringLiteral("AR PL KaitiM GB"), QStringLiteral("AR PL UKai CN"),
                    QStringLiteral("AR PL SungtiL GB")});
  font.setPointSize(pointSize);
  return font;
}

}  // namespace velmor
