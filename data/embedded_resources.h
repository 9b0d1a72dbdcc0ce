// The resources compiled into the executable, and lookup by name and type.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace velmor {

struct EmbeddedResource {
  const char* name;
  const char* type;
  const unsigned char* data;
  size_t size;
};

// The table the build generates from resources/ (one entry per packed file).
extern const EmbeddedResource kEmbeddedResources[];
extern const size_t kEmbeddedResourceCount;

// Finds a resource's container bytes; name and type match without regard to ASCII case.
std::optional<std::string_view> FindEmbeddedResource(std::string_view name, std::string_view type);

// Where loaders look for resources; tests substitute their own.
using ResourceFinder =
    std::function<std::optional<std::string_view>(std::string_view name, std::string_view type)>;

// The finder over the executable's own resources.
ResourceFinder EmbeddedResourceFinder();

}  // namespace velmor
