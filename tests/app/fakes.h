#pragma once
// Test doubles for the shell: a window host that records message boxes and whose
// dialogs play a list of clicks, and a shell host whose child creation can fail.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/child_windows.h"
#include "app/port_dialog.h"
#include "app/shell_host.h"
#include "window/controls.h"
#include "window/window_host.h"

namespace trv810::app::test {

struct Box {
  std::string text;
  std::string caption;
  window::Icon icon;
};

class RecordingHost : public window::WindowHost {
 public:
  window::Answer messageBox(std::string_view text, std::string_view caption, window::Icon icon,
                              window::Buttons, window::Answer) override {
    boxes.push_back({std::string(text), std::string(caption), icon});
    return window::Answer::Ok;
  }
  /// Starts the dialog, notes which radio buttons it marked, types `typed` into its
  /// edits, then clicks `clicks` in order until one of them ends it (0 when none
  /// does: the dialog was not shown).
  int runDialog(window::Dialog& dialog, int) override {
    dialog.attachHost(*this);
    dialog.onInit(controls);
    markedAtStart.clear();
    for (int id = PortDialog::kFirstPortId; id <= PortDialog::kLastPortId; ++id)
      if (controls.checked(id)) markedAtStart.push_back(id);
    for (const auto& [id, text] : typed) {
      controls.setText(id, text);
      dialog.onEdited(id, controls);
    }
    for (int id : clicks)
      if (auto result = dialog.onCommand(id, controls)) return *result;
    return 0;
  }
  void setTitle(std::string_view t) override { title = t; }
  void setProgressRange(int, int) override {}
  void setProgressPosition(int) override {}
  /// Records the request and gives `chosenPath`.
  std::optional<std::string> chooseOpenFile(const window::FileDialogRequest& request) override {
    fileDialogs.push_back(request);
    return chosenPath;
  }
  std::optional<std::string> chooseSaveFile(const window::FileDialogRequest& request) override {
    fileDialogs.push_back(request);
    return chosenPath;
  }
  void setWaitCursor(bool) override {}
  void requestClose() override {}
  void setFocus(int id, bool selectText) override {
    focused = id;
    focusSelectsText = selectText;
  }
  int focus() const override { return focused; }
  void setTicking(bool) override {}

  std::vector<Box> boxes;
  std::string title;
  std::vector<int> clicks;
  std::map<int, std::string> typed;
  std::vector<int> markedAtStart;
  window::MemoryControlTable controls;
  int focused = -1;
  bool focusSelectsText = false;
  std::vector<window::FileDialogRequest> fileDialogs;
  std::optional<std::string> chosenPath;
};

/// A child window's logic that notes the files it is given.
class FileTakingChild : public ChildLogic {
 public:
  window::ControlInput input() override { return {}; }
  void onCreate() override {}
  bool onCloseRequest() override { return true; }
  void onClose() override {}
  void onNotification(const transfer::Notification&) override {}
  void onTick() override {}
  void openFile(const std::string& path) override { opened.push_back(path); }

  std::vector<std::string> opened;
};

class ScriptedShellHost : public ShellHost {
 public:
  bool createChild(ChildKind kind) override {
    created.push_back(kind);
    return childCreation;
  }
  ChildLogic* openChild() override { return created.empty() ? nullptr : &child; }
  bool childCreation = true;
  std::vector<ChildKind> created;
  FileTakingChild child;
};

}  // namespace trv810::app::test
