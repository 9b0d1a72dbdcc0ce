// The window fonts, with fallbacks to the Song faces a Linux desktop has installed.
#pragma once

#include <QFont>
#include <QString>

namespace velmor {

// "宋体" at a pixel height, falling back to an installed Song-style CJK face.
QFont SongFont(int pixelSize, bool bold = false);

}  // namespace velmor
