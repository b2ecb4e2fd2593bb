#pragma once
// The configuration file (.kfg): one ConfigImage behind a format-index byte and a
// magic text, closed by a 16-bit additive checksum:
//
//   0 format index (1, 2, 3)   1 "TRV810-Konfigurationsdatei" (26 chars, no zero)
//   27 image of the format's size N   27+N checksum u16 LE = sum of the 27+N bytes
//
// Files are always written in the current format (927 bytes); all three formats are
// read. Bytes after the checksum are ignored. The checks run in a fixed order and the
// first failing one decides the outcome; an older format needs the user's consent
// before anything else of the file is looked at.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "config/config_image.h"
#include "platform/file.h"
#include "window/window_host.h"

namespace trv810::config {

inline constexpr std::string_view kFileMagic = "TRV810-Konfigurationsdatei";
inline constexpr std::size_t kFileHeaderSize = 1 + 26;
inline constexpr std::size_t kConfigFileSize = kFileHeaderSize + kImageSize + 2;  // 927
static_assert(kFileMagic.size() == 26);

using ConfigFileBytes = std::array<uint8_t, kConfigFileSize>;

/// Outcome of reading a configuration file, in the order the checks run.
enum class LoadStatus {
  Loaded,         ///< all checks passed (and, when importing, the image was replaced)
  NotFound,       ///< the file cannot be opened: "Datei nicht vorhanden !"
  Declined,       ///< an older format and the user did not agree: no message
  InvalidFile,    ///< magic text differs, or the file is too short for it: "Ungültige Datei !"
  UnknownFormat,  ///< format index not 1, 2 or 3: "Unbekanntes Dateiformat"
  ShortImage,     ///< fewer image bytes than the format needs: "Dateifehler"
  BadChecksum,    ///< checksum missing or different: "Checksummen Fehler !"
};

/// The message shown for `status` (UTF-8); empty for Loaded and Declined.
std::string_view loadStatusMessage(LoadStatus status);

/// Asked when the file's format index is not the current one; true loads it anyway.
using ConfirmOlderFormat = std::function<bool()>;

/// What checkConfigFile found: on Loaded, the format index and its image bytes (a view
/// into the bytes that were checked).
struct ConfigFileCheck {
  LoadStatus status = LoadStatus::InvalidFile;
  int formatIndex = 0;
  std::span<const uint8_t> image;
};

/// The 16-bit additive checksum of a file's leading bytes.
uint16_t fileChecksum(std::span<const uint8_t> bytes);

/// The 927 bytes of a current-format file holding `image`.
ConfigFileBytes buildConfigFile(const ConfigImage& image);

/// Checks a file's bytes in the fixed order: format index (asking `confirmOlder` for
/// any index other than 3, also for unknown ones), magic text, known format, image
/// length, checksum. An empty file is InvalidFile without a question.
ConfigFileCheck checkConfigFile(std::span<const uint8_t> file, const ConfirmOlderFormat& confirmOlder);

/// checkConfigFile, then on success imports the image into `image`. On any other
/// outcome `image` is unchanged.
LoadStatus loadConfigFileBytes(std::span<const uint8_t> file, ConfigImage& image,
                               const ConfirmOlderFormat& confirmOlder);

/// Reads the file at `path` (at most one current-format file's worth of bytes) and
/// loads it as loadConfigFileBytes does; a file that cannot be read is NotFound, and
/// `opened` (when given) then tells why.
LoadStatus loadConfigFile(const std::string& path, ConfigImage& image,
                          const ConfirmOlderFormat& confirmOlder, platform::FileResult* opened = nullptr);

/// The line under "Datei nicht vorhanden !" for a file that could not be opened as
/// `opened` says; empty when the file simply is not there (the first line says it all).
std::string notFoundReason(const platform::FileResult& opened);

/// Writes the current-format file of `image` to `path`, replacing an existing file
/// only once the new one is completely on disk; on failure the old file stays.
platform::FileResult saveConfigFile(const std::string& path, const ConfigImage& image);

/// The load step on a chosen path with the window's host: asks the older-format
/// question and shows every failure (caption "TRV810-Konfiguration", error icon), a
/// file that is there but cannot be opened with the reason under the message.
/// True when `image` now holds the file's configuration; callers then refill the form.
bool loadConfigFileShowing(const std::string& path, ConfigImage& image, window::WindowHost& host);

/// The save step on a chosen path with the window's host: writes the file and, when
/// that fails, shows "Datei konnte nicht gespeichert werden !" with the reason under
/// it (the old file stays).
bool saveConfigFileShowing(const std::string& path, const ConfigImage& image, window::WindowHost& host);

/// The file dialog request for .kfg files, starting at `lastPath`.
window::FileDialogRequest configFileDialog(const std::string& lastPath, bool forSaving);

}  // namespace trv810::config
