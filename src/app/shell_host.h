#pragma once
// What the main window's logic needs from the toolkit beyond a WindowHost: creating
// a child window and running the port dialog modally.

#include "app/shell_state.h"

namespace trv810::app {

class PortDialog;

class ShellHost {
 public:
  virtual ~ShellHost() = default;

  /// Creates and shows the child window of `kind` inside the main window's client
  /// area. False when it could not be created.
  virtual bool createChild(ChildKind kind) = 0;
  /// Runs `dialog` modally, owned by the main window, forwarding its input to it until
  /// it ends. Its result: 1 for "OK", 0 for "CANCEL" or when it cannot be shown.
  virtual int runPortDialog(PortDialog& dialog) = 0;
};

}  // namespace trv810::app
