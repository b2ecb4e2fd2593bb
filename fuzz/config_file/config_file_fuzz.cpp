// Loading a configuration file from bytes, then filling the form from it and reading
// the form back. A file that loads must leave its image; a form that validates must
// save to a file that loads to the same image; a refused file must leave the image
// untouched. Any violation aborts.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "config/config_file.h"
#include "config/form.h"
#include "window/controls.h"

using namespace trv810::config;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> file(data, size);
  const bool agree = size > 0 && (data[size - 1] & 1);
  ConfigImage image;
  const LoadStatus status = loadConfigFileBytes(file, image, [agree] { return agree; });
  if (status != LoadStatus::Loaded) {
    if (image != ConfigImage{}) std::abort();
    if (status == LoadStatus::Declined && (agree || data[0] == kCurrentFormat)) std::abort();
    return 0;
  }
  if (data[0] == kCurrentFormat) {
    const ConfigFileBytes rebuilt = buildConfigFile(image);
    if (!std::equal(rebuilt.begin(), rebuilt.end(), data)) std::abort();
  }
  trv810::window::MemoryControlTable controls;
  defineFormLists(controls);
  Form form(image, controls);
  form.reset();
  form.showImportedImage();
  form.storeVisibleRows();
  if (!form.readForm().ok()) return 0;
  const ConfigFileBytes saved = buildConfigFile(image);
  ConfigImage reloaded;
  if (loadConfigFileBytes(saved, reloaded, nullptr) != LoadStatus::Loaded || reloaded != image) std::abort();
  return 0;
}
