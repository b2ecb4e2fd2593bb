#pragma once
// A configuration without a window, for the command-line tool: the image and a form
// over controls held in memory, loaded from a file as "Datei laden" does and
// validated as "TRV programmieren" does.

#include <string>

#include "config/config_file.h"
#include "config/config_image.h"
#include "config/form.h"
#include "window/controls.h"

namespace trv810::config {

class OfflineConfig {
 public:
  /// A cleared image and the form of a newly created window.
  OfflineConfig();
  OfflineConfig(const OfflineConfig&) = delete;
  OfflineConfig& operator=(const OfflineConfig&) = delete;

  /// Loads the .kfg file at `path`; an older format is loaded only when
  /// `acceptOlderFormat` (the answer to the question). On Loaded the form shows the
  /// file's configuration; otherwise image and form are unchanged. On NotFound,
  /// `opened` (when given) tells why the file could not be read.
  LoadStatus load(const std::string& path, bool acceptOlderFormat, platform::FileResult* opened = nullptr);
  /// The format index of the file loaded last (0 before any load).
  int loadedFormat() const { return loadedFormat_; }
  /// Stores the visible rows and reads the form back into the image.
  FormResult validate();

  ConfigImage& image() { return image_; }
  Form& form() { return form_; }
  window::MemoryControlTable& controls() { return controls_; }

 private:
  ConfigImage image_;
  window::MemoryControlTable controls_;
  Form form_;
  int loadedFormat_ = 0;
};

}  // namespace trv810::config
