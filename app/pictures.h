// The window pictures, read from the embedded "ME" resources.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <string_view>

#include "data/embedded_resources.h"

namespace velmor {

// The bitmap resource `name` as a pixmap; a null pixmap when it is missing or unreadable.
QPixmap LoadPicture(const ResourceFinder& find, std::string_view name);

// A button glyph pair, the normal and the disabled image side by side, as an icon whose
// disabled state shows the right half; the colour of the bottom-left pixel is transparent.
QIcon GlyphPairIcon(const QPixmap& pair);

}  // namespace velmor
