#include "config/config_file.h"

#include <algorithm>
#include <cerrno>
#include <vector>

#include "config/texts.h"

namespace trv810::config {

std::string_view loadStatusMessage(LoadStatus status) {
  switch (status) {
    case LoadStatus::NotFound: return texts::kFileNotFound;
    case LoadStatus::InvalidFile: return texts::kInvalidFile;
    case LoadStatus::UnknownFormat: return texts::kUnknownFileFormat;
    case LoadStatus::ShortImage: return texts::kFileError;
    case LoadStatus::BadChecksum: return texts::kChecksumError;
    case LoadStatus::Loaded:
    case LoadStatus::Declined: break;
  }
  return {};
}

uint16_t fileChecksum(std::span<const uint8_t> bytes) {
  uint16_t sum = 0;
  for (uint8_t b : bytes) sum = static_cast<uint16_t>(sum + b);
  return sum;
}

namespace {
ConfigFileCheck failed(LoadStatus status) {
  ConfigFileCheck check;
  check.status = status;
  return check;
}
}  // namespace

ConfigFileBytes buildConfigFile(const ConfigImage& image) {
  ConfigFileBytes file{};
  file[0] = kCurrentFormat;
  std::copy(kFileMagic.begin(), kFileMagic.end(), file.begin() + 1);
  std::ranges::copy(image.bytes(), file.begin() + kFileHeaderSize);
  const uint16_t sum = fileChecksum(std::span(file).first(kFileHeaderSize + kImageSize));
  file[kConfigFileSize - 2] = static_cast<uint8_t>(sum);
  file[kConfigFileSize - 1] = static_cast<uint8_t>(sum >> 8);
  return file;
}

ConfigFileCheck checkConfigFile(std::span<const uint8_t> file, const ConfirmOlderFormat& confirmOlder) {
  if (file.empty()) return failed(LoadStatus::InvalidFile);
  const int format = file[0];
  if (format != kCurrentFormat && !(confirmOlder && confirmOlder())) return failed(LoadStatus::Declined);
  if (file.size() < kFileHeaderSize || !std::equal(kFileMagic.begin(), kFileMagic.end(), file.begin() + 1))
    return failed(LoadStatus::InvalidFile);
  const std::size_t size = imageSize(format);
  if (size == 0) return failed(LoadStatus::UnknownFormat);
  if (file.size() < kFileHeaderSize + size) return failed(LoadStatus::ShortImage);
  const std::size_t checked = kFileHeaderSize + size;
  if (file.size() < checked + 2) return failed(LoadStatus::BadChecksum);
  const uint16_t stored = static_cast<uint16_t>(file[checked] | file[checked + 1] << 8);
  if (stored != fileChecksum(file.first(checked))) return failed(LoadStatus::BadChecksum);
  return {LoadStatus::Loaded, format, file.subspan(kFileHeaderSize, size)};
}

LoadStatus loadConfigFileBytes(std::span<const uint8_t> file, ConfigImage& image,
                               const ConfirmOlderFormat& confirmOlder) {
  const ConfigFileCheck check = checkConfigFile(file, confirmOlder);
  if (check.status == LoadStatus::Loaded) importImage(image, check.formatIndex, check.image);
  return check.status;
}

LoadStatus loadConfigFile(const std::string& path, ConfigImage& image,
                          const ConfirmOlderFormat& confirmOlder, platform::FileResult* opened) {
  std::vector<uint8_t> bytes;
  platform::FileResult read = platform::readFileUpTo(path, kConfigFileSize, bytes);
  if (opened) *opened = read;
  if (!read) return LoadStatus::NotFound;
  return loadConfigFileBytes(bytes, image, confirmOlder);
}

std::string notFoundReason(const platform::FileResult& opened) {
  if (opened || opened.error == ENOENT) return {};
  return std::string(texts::kCannotOpenReason) + opened.message;
}

platform::FileResult saveConfigFile(const std::string& path, const ConfigImage& image) {
  const ConfigFileBytes file = buildConfigFile(image);
  return platform::writeFileReplacing(path, file);
}

bool loadConfigFileShowing(const std::string& path, ConfigImage& image, window::WindowHost& host) {
  const auto ask = [&host] {
    return host.messageBox(texts::kOlderFileQuestion, texts::kWindowCaption, window::Icon::Error,
                           window::Buttons::YesNo) == window::Answer::Yes;
  };
  platform::FileResult opened;
  const LoadStatus status = loadConfigFile(path, image, ask, &opened);
  std::string message(loadStatusMessage(status));
  if (status == LoadStatus::NotFound) {
    if (const std::string reason = notFoundReason(opened); !reason.empty()) message += "\n\n" + reason;
  }
  if (!message.empty()) host.messageBox(message, texts::kWindowCaption, window::Icon::Error);
  return status == LoadStatus::Loaded;
}

bool saveConfigFileShowing(const std::string& path, const ConfigImage& image, window::WindowHost& host) {
  const platform::FileResult saved = saveConfigFile(path, image);
  if (saved) return true;
  host.messageBox(std::string(texts::kSaveFailed) + "\n\n" + saved.message, texts::kWindowCaption,
                  window::Icon::Error);
  return false;
}

window::FileDialogRequest configFileDialog(const std::string& lastPath, bool forSaving) {
  window::FileDialogRequest request;
  request.filterName = texts::kFileFilterName;
  request.filterPatterns = texts::kFileFilterPattern;
  request.defaultSuffix = texts::kFileSuffix;
  request.startPath = lastPath;
  request.confirmOverwrite = forSaving;
  return request;
}

}  // namespace trv810::config
