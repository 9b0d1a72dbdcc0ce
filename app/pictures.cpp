#include "app/pictures.h"

#include <QImage>
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

QIcon GlyphPairIcon(const QPixmap& pair) {
  QIcon icon;
  if (pair.isNull()) return icon;
  QImage image = pair.toImage().convertToFormat(QImage::Format_ARGB32);
  const QRgb clear = image.pixel(0, image.height() - 1);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) == clear) image.setPixel(x, y, qRgba(0, 0, 0, 0));
    }
  }
  const int half = image.width() / 2;
  icon.addPixmap(QPixmap::fromImage(image.copy(0, 0, half, image.height())), QIcon::Normal);
  icon.addPixmap(QPixmap::fromImage(image.copy(half, 0, half, image.height())), QIcon::Disabled);
  return icon;
}

}  // namespace velmor
