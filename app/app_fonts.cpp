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

}  // namespace velmor
