// Arbitrary bytes as a feed's CSV file, its first line also as a zip entry name: the reader must
// walk every record or raise CsvError, and the name check must never pass a way out of the feed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "import/csv_reader.h"
#include "import/feed_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string_view name = text.substr(0, text.find('\n'));
  if (velmor::SafeEntryName(name)) {
    if (name.front() == '/' || name.find('\\') != std::string_view::npos) std::abort();
    for (size_t start = 0; start <= name.size();) {
      const size_t end = std::min(name.find('/', start), name.size());
      if (name.substr(start, end - start) == "..") std::abort();
      start = end + 1;
    }
  }
  try {
    velmor::CsvReader csv(text, "f.txt");
    const int a = csv.Column("trip_id");
    size_t records = 0;
    while (csv.Next()) {
      // A record takes at least one byte: never more records than bytes.
      if (++records > size || csv.Position() > size) std::abort();
      (void)csv.Field(a);
      (void)csv.Field(1000);
      (void)csv.Where();
    }
  } catch (const velmor::CsvError&) {
  }
  return 0;
}
