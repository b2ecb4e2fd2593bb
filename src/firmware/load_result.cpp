#include "firmware/load_result.h"

#include <cstdio>

#include "firmware/texts.h"

namespace trv810::firmware {
namespace {

// A character as the user can read it: 'g', or its code when it is not printable.
std::string quoted(uint8_t c) {
  char text[16];
  if (c >= 0x20 && c < 0x7F)
    std::snprintf(text, sizeof text, "'%c'", static_cast<char>(c));
  else
    std::snprintf(text, sizeof text, "Byte 0x%02X", c);
  return text;
}

std::string hexByte(uint8_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

std::string what(const LoadResult& r) {
  switch (r.error) {
    case LoadError::kNone: return std::string(texts::kLoadNoError);
    case LoadError::kBadExtension: return std::string(texts::kLoadBadExtension);
    case LoadError::kCannotOpen: return std::string(texts::kLoadCannotOpen) + r.file.message;
    case LoadError::kCannotRead: return std::string(texts::kLoadCannotRead) + r.file.message;
    case LoadError::kTooLarge: return std::string(texts::kLoadTooLarge);
    case LoadError::kEmptyImage: return std::string(texts::kLoadEmptyImage);
    case LoadError::kNoLineEnd: return std::string(texts::kLoadNoLineEnd);
    case LoadError::kEndInsideLine: return std::string(texts::kLoadEndInsideLine);
    case LoadError::kBareLineFeed: return std::string(texts::kLoadBareLineFeed);
    case LoadError::kNoColon: return texts::loadNoColon(quoted(r.character));
    case LoadError::kBadDigit: return texts::loadBadDigit(quoted(r.character));
    case LoadError::kBadChecksum: return std::string(texts::kLoadBadChecksum);
    case LoadError::kTooShort: return std::string(texts::kLoadTooShort);
    case LoadError::kShortRecord: return texts::loadShortRecord(hexByte(r.recordType));
    case LoadError::kBadType: return texts::loadBadType(hexByte(r.recordType));
    case LoadError::kNoEndRecord: return std::string(texts::kLoadNoEndRecord);
    case LoadError::kBlankImage: return std::string(texts::kLoadBlankImage);
  }
  return std::string(texts::kLoadUnknownError);
}

}  // namespace

std::string describe(const LoadResult& result) {
  std::string where;
  if (result.line > 0) where = texts::kLoadLine + std::to_string(result.line);
  if (result.column > 0) where += texts::kLoadColumn + std::to_string(result.column);
  return where.empty() ? what(result) : where + ": " + what(result);
}

std::string loadWarning(const LoadResult& result) {
  if (result.looksLikeHexText) return std::string(texts::kRawLooksLikeHex);
  if (result.bytesLeftOut == 0) return {};
  char text[160];
  std::snprintf(text, sizeof text, std::string(texts::kBytesLeftOutFormat).c_str(),
                static_cast<unsigned long long>(result.bytesLeftOut), result.bytesLeftOut == 1 ? "Byte" : "Bytes");
  return text;
}

}  // namespace trv810::firmware
