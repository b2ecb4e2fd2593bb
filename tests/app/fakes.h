#pragma once
// Test doubles for the shell: a window host that records message boxes, and a shell
// host whose child creation can fail and whose port dialog plays a list of clicks.

#include <string>
#include <vector>

#include "app/port_dialog.h"
#include "app/shell_host.h"
#include "platform/controls.h"
#include "platform/window_host.h"

namespace trv810::app::test {

struct Box {
  std::string text;
  std::string caption;
  platform::Icon icon;
};

class RecordingHost : public platform::WindowHost {
 public:
  platform::Answer messageBox(std::string_view text, std::string_view caption, platform::Icon icon,
                              platform::Buttons, platform::Answer) override {
    boxes.push_back({std::string(text), std::string(caption), icon});
    return platform::Answer::Ok;
  }
  void setTitle(std::string_view t) override { title = t; }
  void setProgressRange(int, int) override {}
  void setProgressPosition(int) override {}
  std::optional<std::string> chooseOpenFile(const platform::FileDialogRequest&) override { return {}; }
  std::optional<std::string> chooseSaveFile(const platform::FileDialogRequest&) override { return {}; }
  void setWaitCursor(bool) override {}
  void requestClose() override {}
  void setFocus(int, bool) override {}
  int focus() const override { return -1; }
  void setTicking(bool) override {}

  std::vector<Box> boxes;
  std::string title;
};

class ScriptedShellHost : public ShellHost {
 public:
  bool createChild(ChildKind kind) override {
    created.push_back(kind);
    return childCreation;
  }
  /// Starts the dialog, notes which radio buttons it marked, then clicks `clicks` in
  /// order until one of them ends it (0 when none does: the dialog was not shown).
  int runPortDialog(PortDialog& dialog) override {
    dialog.onInit(controls);
    markedAtStart.clear();
    for (int id = PortDialog::kFirstPortId; id <= PortDialog::kLastPortId; ++id)
      if (controls.checked(id)) markedAtStart.push_back(id);
    for (int id : clicks)
      if (auto result = dialog.onCommand(id, controls)) return *result;
    return 0;
  }

  bool childCreation = true;
  std::vector<ChildKind> created;
  std::vector<int> clicks;
  std::vector<int> markedAtStart;
  platform::MemoryControlTable controls;
};

}  // namespace trv810::app::test
