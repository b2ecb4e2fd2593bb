#include "config/offline_config.h"

#include <vector>

#include "platform/file.h"

namespace trv810::config {

OfflineConfig::OfflineConfig() : form_(image_, controls_) {
  defineFormLists(controls_);
  form_.reset();
}

LoadStatus OfflineConfig::load(const std::string& path, bool acceptOlderFormat, platform::FileResult* opened) {
  std::vector<uint8_t> bytes;
  platform::FileResult read = platform::readFileUpTo(path, kConfigFileSize, bytes);
  if (opened) *opened = read;
  if (!read) return LoadStatus::NotFound;
  const ConfigFileCheck check = checkConfigFile(bytes, [acceptOlderFormat] { return acceptOlderFormat; });
  if (check.status != LoadStatus::Loaded) return check.status;
  importImage(image_, check.formatIndex, check.image);
  loadedFormat_ = check.formatIndex;
  form_.showImportedImage();
  return LoadStatus::Loaded;
}

FormResult OfflineConfig::validate() {
  form_.storeVisibleRows();
  return form_.readForm();
}

}  // namespace trv810::config
