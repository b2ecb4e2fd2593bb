#pragma once
// A window host for tests: records every message box and answers questions from a
// queue of prepared answers (No when the queue is empty).

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "window/window_host.h"

namespace trv810::testing {

struct RecordingHost : window::WindowHost {
  struct Box {
    std::string text;
    std::string caption;
    window::Icon icon;
    window::Buttons buttons;
  };
  std::vector<Box> boxes;
  std::deque<window::Answer> answers;
  std::optional<std::string> chosenPath;  ///< what the file dialogs return
  std::vector<window::FileDialogRequest> dialogs;
  std::string title;

  window::Answer messageBox(std::string_view text, std::string_view caption, window::Icon icon,
                              window::Buttons buttons, window::Answer) override {
    boxes.push_back({std::string(text), std::string(caption), icon, buttons});
    if (buttons == window::Buttons::Ok) return window::Answer::Ok;
    if (answers.empty()) return window::Answer::No;
    const window::Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  int runDialog(window::Dialog&, int) override { return 0; }
  void setTitle(std::string_view t) override { title = t; }
  void setProgressRange(int, int) override {}
  void setProgressPosition(int) override {}
  std::optional<std::string> chooseOpenFile(const window::FileDialogRequest& r) override {
    dialogs.push_back(r);
    return chosenPath;
  }
  std::optional<std::string> chooseSaveFile(const window::FileDialogRequest& r) override {
    dialogs.push_back(r);
    return chosenPath;
  }
  void setWaitCursor(bool) override {}
  void requestClose() override {}
  void setFocus(int, bool) override {}
  int focus() const override { return -1; }
  void setTicking(bool) override {}
};

}  // namespace trv810::testing
