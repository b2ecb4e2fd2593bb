#pragma once
// Texts from a file or a unit on the terminal: their control characters shown as
// \xNN, so that a crafted ident cannot send escape sequences that repaint the screen.

#include <cstdio>
#include <string>
#include <string_view>

namespace trv810::cli {

/// `utf8` with every control character (U+0000-U+001F, U+007F, U+0080-U+009F) as \xNN.
inline std::string printable(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  const auto escape = [&out](unsigned code) {
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02x", code);
    out += text;
  };
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0u;
    if (c < 0x20 || c == 0x7F) {
      escape(c);
    } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080-U+009F in two bytes
      escape(next);
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace trv810::cli
