#include "data/embedded_resources.h"

#include "data/gbk_text.h"

namespace velmor {

std::optional<std::string_view> FindEmbeddedResource(std::string_view name, std::string_view type) {
  for (size_t i = 0; i < kEmbeddedResourceCount; ++i) {
    const EmbeddedResource& r = kEmbeddedResources[i];
    if (SameTextAscii(r.name, name) && SameTextAscii(r.type, type)) {
      return std::string_view(reinterpret_cast<const char*>(r.data), r.size);
    }
  }
  return std::nullopt;
}

ResourceFinder EmbeddedResourceFinder() {
  return FindEmbeddedResource;
}

}  // namespace velmor
