#pragma once
// Loading a firmware file into the FlashImage. The file title's last four characters
// choose the reader: ".bin"/".BIN" copy the file as it is, ".hex"/".HEX" read Intel
// HEX (see hex_parser.h) and then keep a raw copy of the image beside the HEX file, so
// the same firmware can later be loaded as ".bin". Every load first fills offsets
// 0x00000..0x7FFFF with 0xFF, also one that then fails; the image length changes only
// on success.

#include <string>

#include "firmware/flash_image.h"
#include "firmware/load_result.h"

namespace trv810::firmware {

enum class FileKind { kRaw, kHex, kUnknown };

struct LoadOptions {
  /// Write the raw copy beside a loaded HEX file. Off for checking and fuzzing.
  bool writeRawCopy = true;
};

/// The reader that `title` selects, by its last four characters, case-sensitively.
FileKind fileKindOf(const std::string& title);

/// The raw copy's path: `hexPath` with its last three characters replaced by "bin"
/// (fw.hex -> fw.bin, FW.HEX -> FW.bin); empty for a path shorter than three.
std::string rawCopyPath(const std::string& hexPath);

/// Loads the file at `path`, of the kind its `title` names, into `image`. On success
/// sets the image length and, for a HEX file, writes the raw copy (replacing an old one
/// only once the new one is complete; its failure is reported in the result but does
/// not fail the load). A file that holds no firmware (an empty raw file, a HEX image
/// that is 0xFF throughout) or is not a regular file fails. On failure the image
/// length keeps its value.
LoadResult loadFlashImage(FlashImage& image, const std::string& path, const std::string& title,
                          const LoadOptions& options = {});

}  // namespace trv810::firmware
