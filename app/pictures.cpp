#include "app/pictures.h"

#include <optional>

#include "data/resource_container.h"

namespace velmor {

QPixmap LoadPicture(const ResourceFinder& find, std::string_view name) {
  QPixmap picture;
  if (!find) return picture;
  std::optional<std::string_view> container = find(name, "me");
  if (!container) return picture;
  std::optional<ResourceBuffer> bytes = InflateResource(*container);
  if (!bytes) return picture;
  picture.loadFromData(reinterpret_cast<const uchar*>(bytes->data.get()),
                       static_cast<uint>(bytes->size), "BMP");
  return picture;
}

}  // namespace velmor
