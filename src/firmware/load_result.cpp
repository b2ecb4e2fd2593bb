#include "firmware/load_result.h"

#include <cstdio>

namespace trv810::firmware {
namespace {

// A character as the user can read it: 'g', or its code when it is not printable.
std::string quoted(uint8_t c) {
  char text[16];
  if (c >= 0x20 && c < 0x7F)
    std::snprintf(text, sizeof text, "'%c'", static_cast<char>(c));
  else
    std::snprintf(text, sizeof text, "byte 0x%02X", c);
  return text;
}

std::string hexByte(uint8_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

std::string what(const LoadResult& r) {
  switch (r.error) {
    case LoadError::kNone: return "no error";
    case LoadError::kBadExtension: return "the file name must end in .hex, .HEX, .bin or .BIN";
    case LoadError::kCannotOpen: return "cannot open " + r.file.message;
    case LoadError::kCannotRead: return "cannot read " + r.file.message;
    case LoadError::kTooLarge: return "the raw file is larger than the 2 MiB flash buffer";
    case LoadError::kNoLineEnd: return "no CR LF within 600 characters";
    case LoadError::kEndInsideLine: return "the file ends inside the line, before its CR LF";
    case LoadError::kNoColon: return "the line starts with " + quoted(r.character) + ", not ':'";
    case LoadError::kBadDigit: return quoted(r.character) + " is not an upper-case hex digit";
    case LoadError::kBadChecksum: return "the check byte does not make the sum of the line 0";
    case LoadError::kTooShort: return "the record has fewer than four bytes";
    case LoadError::kShortRecord:
      return "the record of type " + hexByte(r.recordType) + " has too few data bytes";
    case LoadError::kBadType: return "unsupported record type " + hexByte(r.recordType);
    case LoadError::kNoEndRecord: return "the file ends without the end record :00000001FF";
    case LoadError::kBlankImage: return "the image holds no byte other than 0xFF";
  }
  return "unknown error";
}

}  // namespace

std::string describe(const LoadResult& result) {
  std::string where;
  if (result.line > 0) where = "line " + std::to_string(result.line);
  if (result.column > 0) where += ", column " + std::to_string(result.column);
  return where.empty() ? what(result) : where + ": " + what(result);
}

}  // namespace trv810::firmware
