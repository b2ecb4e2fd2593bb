#pragma once
// What the main window's logic needs from the toolkit beyond a WindowHost: creating
// a child window, and the logic of the one that is open.

#include "app/shell_state.h"

namespace trv810::app {

class ChildLogic;

class ShellHost {
 public:
  virtual ~ShellHost() = default;

  /// Creates and shows the child window of `kind` inside the main window's client
  /// area. False when it could not be created.
  virtual bool createChild(ChildKind kind) = 0;
  /// The logic of the child window open now, or null.
  virtual ChildLogic* openChild() = 0;
};

}  // namespace trv810::app
