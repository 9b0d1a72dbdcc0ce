// The window fonts, with fallbacks to the Song and Kai faces a Linux desktop has installed.
#pragma once

#include <QFont>
#include <QString>

namespace velmor {

// "宋体" at a pixel height, falling back to an installed Song-style CJK face.
QFont SongFont(int pixelSize, bool bold = false);

// The family list print text uses: "楷体_GB2312", then installed Kai-style faces.
QFont KaiFont(const QString& requested, int pointSize);

}  // namespace velmor
