#pragma once
// The outcome of loading a firmware file: success, or what was wrong and where, as a
// small value the caller turns into its own message.

#include <cstdint>
#include <string>

#include "platform/file.h"

namespace trv810::firmware {

enum class LoadError : uint8_t {
  kNone,
  kBadExtension,   ///< the title ends in none of .bin .BIN .hex .HEX
  kCannotOpen,     ///< the file cannot be opened (see `file`)
  kCannotRead,     ///< reading failed (see `file`)
  kTooLarge,       ///< a raw file larger than the FlashImage buffer
  kEmptyImage,     ///< a raw file of 0 bytes: sent, it would leave the unit erased
  kNoLineEnd,      ///< no CR LF within 600 characters
  kEndInsideLine,  ///< the file ends inside a line
  kBareLineFeed,   ///< the line ends in LF without the CR before it
  kNoColon,        ///< a line does not start with ':'
  kBadDigit,       ///< a character that is not one of 0-9 A-F (see `column`)
  kBadChecksum,    ///< the bytes of a line do not sum to 0, or it has no bytes
  kTooShort,       ///< a line of fewer than four bytes has no record type
  kShortRecord,    ///< a record with fewer data bytes than its type needs
  kBadType,        ///< a record type above 05
  kNoEndRecord,    ///< the file ends before the end-of-file record
  kBlankImage,     ///< the image is 0xFF throughout
};

struct LoadResult {
  LoadError error = LoadError::kNone;
  uint32_t line = 0;         ///< 1-based HEX line of the failure, 0 when none applies
  uint32_t column = 0;       ///< 1-based character of a kBadDigit
  uint8_t character = 0;     ///< the offending character of a kBadDigit or kNoColon
  uint8_t recordType = 0;    ///< the type of a kShortRecord or kBadType record
  platform::FileResult file; ///< the OS's error for kCannotOpen and kCannotRead

  /// After a successful HEX load: where the raw copy was written (empty when it was
  /// skipped) and how that went. A failed raw copy does not fail the load.
  std::string rawCopyPath;
  platform::FileResult rawCopy;

  /// HEX: data bytes that lay outside the image (below its first address, or 0x80000
  /// and more above it) and were left out, as the placement rules say.
  uint64_t bytesLeftOut = 0;
  /// Raw: the file starts like Intel-HEX text, yet is sent as the bytes it holds.
  bool looksLikeHexText = false;

  explicit operator bool() const { return error == LoadError::kNone; }
};

/// What went wrong, in one German line, with the line and column where known
/// ("Zeile 3, Spalte 12: 'g' ist keine Hex-Ziffer (erlaubt: 0-9 und A-F, groß)").
std::string describe(const LoadResult& result);

/// A line warning of what a successful load did not take as the user may expect
/// (HEX data left out, HEX text in a raw file); empty when there is nothing to say.
std::string loadWarning(const LoadResult& result);

/// Whether a successful load left its raw copy unwritten; then `rawCopy.message`
/// says which file and why.
inline bool rawCopyFailed(const LoadResult& result) {
  return result && !result.rawCopyPath.empty() && !result.rawCopy;
}

}  // namespace trv810::firmware
