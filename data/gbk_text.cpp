#include "data/gbk_text.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace velmor {

std::string Trim(std::string_view text) {
  size_t b = 0;
  size_t e = text.size();
  while (b < e && IsTrimByte(static_cast<unsigned char>(text[b]))) ++b;
  while (e > b && IsTrimByte(static_cast<unsigned char>(text[e - 1]))) --e;
  return std::string(text.substr(b, e - b));
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    const char c = out[i];
    // The second byte of a double-byte character may look like a letter (峧 is 8D 6A, 'j'):
    // a lead byte takes its trail byte with it.
    if (static_cast<unsigned char>(c) >= 0x81) {
      ++i;
    } else if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 'a' + 'A');
    }
  }
  return out;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

namespace {

// An iconv descriptor is not safe to share between threads, so each call opens its own.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts what it can; on an unconvertible or malformed sequence it appends `bad`,
  // skips `skip(rest)` input bytes and goes on.
  template <typename Skip>
  std::string Run(std::string_view in, std::string_view bad, Skip skip, bool* lossless) {
    std::string out;
    out.reserve(in.size() * 2 + 8);
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char buf[1024];
    bool clean = true;
    while (left > 0) {
      char* dst = buf;
      size_t room = sizeof buf;
      size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, static_cast<size_t>(dst - buf));
      if (r == static_cast<size_t>(-1)) {
        if (errno == E2BIG) continue;
        clean = false;
        out.append(bad);
        size_t n = skip(std::string_view(src, left));
        src += n;
        left -= n;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
      }
    }
    if (lossless) *lossless = clean;
    return out;
  }

 private:
  iconv_t cd_;
};

// Length of the UTF-8 sequence that starts `rest`, at least 1 so that progress is certain.
size_t Utf8SequenceLength(std::string_view rest) {
  auto c = static_cast<unsigned char>(rest[0]);
  size_t n = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  size_t i = 1;
  while (i < n && i < rest.size() && (static_cast<unsigned char>(rest[i]) & 0xC0) == 0x80) ++i;
  return i;
}

size_t GbkSequenceLength(std::string_view rest) {
  auto c = static_cast<unsigned char>(rest[0]);
  return (c >= 0x81 && c <= 0xFE && rest.size() >= 2 && static_cast<unsigned char>(rest[1]) >= 0x40)
             ? 2
             : 1;
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8, bool* lossless) {
  // One character at a time: the system converter drops some characters (the tag characters
  // U+E0000..U+E007F) without reporting an error, and a dropped character must become "?"
  // like any other that GBK cannot hold, never vanish from a query.
  Converter conv("GBK", "UTF-8");
  std::string out;
  out.reserve(utf8.size());
  bool clean = true;
  size_t i = 0;
  while (i < utf8.size()) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      out += utf8[i++];
      continue;
    }
    size_t n = Utf8SequenceLength(utf8.substr(i));
    bool one = true;
    std::string piece = conv.Run(utf8.substr(i, n), "?", Utf8SequenceLength, &one);
    if (!one || piece.empty()) {
      piece = "?";
      clean = false;
    }
    out += piece;
    i += n;
  }
  if (lossless) *lossless = clean;
  return out;
}

std::string GbkToUtf8(std::string_view gbk) {
  Converter conv("UTF-8", "GBK");
  return conv.Run(gbk, "\xEF\xBF\xBD", GbkSequenceLength, nullptr);
}

}  // namespace velmor
