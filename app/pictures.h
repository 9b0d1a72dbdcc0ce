// The window pictures, read from the embedded "ME" resources.
#pragma once

#include <QPixmap>
#include <string_view>

#include "data/embedded_resources.h"

namespace velmor {

// The bitmap resource `name` as a pixmap; a null pixmap when it is missing or unreadable.
QPixmap LoadPicture(const ResourceFinder& find, std::string_view name);

}  // namespace velmor
