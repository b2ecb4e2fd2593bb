#include "platform/cp1252.h"

#include <array>
#include <cstdint>
#include <optional>

namespace trv810::platform {
namespace {

// Code points of the bytes 0x80 to 0x9F; the unassigned ones keep their own number.
constexpr std::array<char32_t, 32> kHighBlock{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char32_t codePointOf(uint8_t byte) {
  return (byte >= 0x80 && byte <= 0x9F) ? kHighBlock[byte - 0x80] : char32_t{byte};
}

std::optional<uint8_t> byteOf(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<uint8_t>(cp);
  for (std::size_t i = 0; i < kHighBlock.size(); ++i)
    if (kHighBlock[i] == cp) return static_cast<uint8_t>(0x80 + i);
  return std::nullopt;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {  // every code point of the table lies below 0x10000
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 character at `at`, advancing it; nothing for a malformed sequence
// (then `at` moves past its first byte).
std::optional<char32_t> decodeUtf8(std::string_view s, std::size_t& at) {
  const auto lead = static_cast<uint8_t>(s[at++]);
  if (lead < 0x80) return lead;
  int more;
  char32_t cp;
  if ((lead & 0xE0) == 0xC0) {
    more = 1;
    cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    more = 2;
    cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    more = 3;
    cp = lead & 0x07;
  } else {
    return std::nullopt;
  }
  const std::size_t start = at;
  for (int i = 0; i < more; ++i) {
    if (at >= s.size() || (static_cast<uint8_t>(s[at]) & 0xC0) != 0x80) {
      at = start;
      return std::nullopt;
    }
    cp = (cp << 6) | (static_cast<uint8_t>(s[at++]) & 0x3F);
  }
  constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kSmallest[more] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return std::nullopt;
  return cp;
}

}  // namespace

std::string cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) appendUtf8(out, codePointOf(static_cast<uint8_t>(c)));
  return out;
}

Cp1252Conversion utf8ToCp1252(std::string_view utf8) {
  Cp1252Conversion result;
  result.bytes.reserve(utf8.size());
  std::size_t at = 0;
  while (at < utf8.size()) {
    const std::size_t start = at;
    const std::optional<char32_t> cp = decodeUtf8(utf8, at);
    const std::optional<uint8_t> byte = cp ? byteOf(*cp) : std::nullopt;
    if (!byte && result.complete) {
      result.complete = false;
      result.firstBadOffset = start;
    }
    result.bytes += static_cast<char>(byte.value_or('?'));
  }
  return result;
}

}  // namespace trv810::platform
