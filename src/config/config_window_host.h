#pragma once
// What the configuration window needs from the toolkit beyond any window's host: the
// scroll bar's thumb and the signal-sequence dialog run modally.

#include "platform/window_host.h"

namespace trv810::config {

class SignalBox;

class ConfigWindowHost : public platform::WindowHost {
 public:
  /// Moves the thumb of scroll bar `id` to `position` and redraws it.
  virtual void setScrollPosition(int id, int position) = 0;
  /// Runs `box` modally, owned by control `ownerId`, until "OK" or "CANCEL" ends it;
  /// returns its result (1 or 0), 0 when it cannot be shown.
  virtual int runSignalBox(SignalBox& box, int ownerId) = 0;
};

}  // namespace trv810::config
