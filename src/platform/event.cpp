// What events do alike on every platform: the flag under its lock. Setting, draining
// and waiting on the native object are each platform's own (event_posix.cpp,
// event_win32.cpp).

#include "platform/event.h"

namespace trv810::platform {

void Event::reset() {
  std::lock_guard lock(mutex_);
  if (set_) drainLocked();
}

bool Event::isSet() const {
  std::lock_guard lock(mutex_);
  return set_;
}

bool Event::tryConsume() {
  std::lock_guard lock(mutex_);
  if (!set_) return false;
  if (reset_ == Reset::Automatic) drainLocked();
  return true;
}

}  // namespace trv810::platform
