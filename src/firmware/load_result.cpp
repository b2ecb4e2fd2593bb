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
    case LoadError::kNone: return "kein Fehler";
    case LoadError::kBadExtension: return "der Dateiname muss auf .hex, .HEX, .bin oder .BIN enden";
    case LoadError::kCannotOpen: return "nicht zu öffnen: " + r.file.message;
    case LoadError::kCannotRead: return "nicht zu lesen: " + r.file.message;
    case LoadError::kTooLarge: return "die Binärdatei ist größer als der Flash-Puffer von 2 MiB";
    case LoadError::kEmptyImage: return "die Datei ist leer (0 Bytes) und enthält keine Firmware";
    case LoadError::kNoLineEnd: return "kein CR LF innerhalb von 600 Zeichen";
    case LoadError::kEndInsideLine: return "die Datei endet mitten in der Zeile, vor ihrem CR LF";
    case LoadError::kBareLineFeed: return "die Zeile endet mit LF ohne CR davor (HEX-Zeilen enden mit CR LF)";
    case LoadError::kNoColon: return "die Zeile beginnt mit " + quoted(r.character) + " statt mit ':'";
    case LoadError::kBadDigit: return quoted(r.character) + " ist keine Hex-Ziffer (erlaubt: 0-9 und A-F, groß)";
    case LoadError::kBadChecksum: return "mit dem Prüfbyte ergibt die Summe der Zeile nicht 0";
    case LoadError::kTooShort: return "der Datensatz hat weniger als vier Bytes";
    case LoadError::kShortRecord:
      return "der Datensatz vom Typ " + hexByte(r.recordType) + " hat zu wenige Datenbytes";
    case LoadError::kBadType: return "nicht unterstützter Datensatztyp " + hexByte(r.recordType);
    case LoadError::kNoEndRecord: return "die Datei endet ohne den Ende-Datensatz :00000001FF";
    case LoadError::kBlankImage: return "das Abbild enthält nur Bytes mit 0xFF";
  }
  return "unbekannter Fehler";
}

}  // namespace

std::string describe(const LoadResult& result) {
  std::string where;
  if (result.line > 0) where = "Zeile " + std::to_string(result.line);
  if (result.column > 0) where += ", Spalte " + std::to_string(result.column);
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
