#pragma once
// Windows-1252, the code page of the unit's texts and of the form's controls, to and
// from UTF-8. Bytes 0x00-0x7F and 0xA0-0xFF are Latin-1; 0x80-0x9F carry the code
// page's typographic block. The five bytes the code page leaves unassigned (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control characters of the same number, so
// every byte string survives the round trip to UTF-8 and back.

#include <cstddef>
#include <string>
#include <string_view>

namespace trv810::platform {

/// The UTF-8 text of Windows-1252 bytes; never fails.
std::string cp1252ToUtf8(std::string_view bytes);

/// Result of utf8ToCp1252(): the converted bytes, with '?' in place of each character
/// that has no Windows-1252 byte (or of each malformed UTF-8 sequence).
struct Cp1252Conversion {
  std::string bytes;
  bool complete = true;            ///< every character had its byte
  std::size_t firstBadOffset = 0;  ///< offset in the UTF-8 input of the first one that had none
};

/// The Windows-1252 bytes of a UTF-8 text; reports characters the code page lacks.
Cp1252Conversion utf8ToCp1252(std::string_view utf8);

}  // namespace trv810::platform
