#pragma once
// A window host for tests: records every message box and answers questions from a
// queue of prepared answers (No when the queue is empty).

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/window_host.h"

namespace trv810::testing {

struct RecordingHost : platform::WindowHost {
  struct Box {
    std::string text;
    std::string caption;
    platform::Icon icon;
    platform::Buttons buttons;
  };
  std::vector<Box> boxes;
  std::deque<platform::Answer> answers;
  std::optional<std::string> chosenPath;  ///< what the file dialogs return
  std::vector<platform::FileDialogRequest> dialogs;
  std::string title;

  platform::Answer messageBox(std::string_view text, std::string_view caption, platform::Icon icon,
                              platform::Buttons buttons, platform::Answer) override {
    boxes.push_back({std::string(text), std::string(caption), icon, buttons});
    if (buttons == platform::Buttons::Ok) return platform::Answer::Ok;
    if (answers.empty()) return platform::Answer::No;
    const platform::Answer a = answers.front();
    answers.pop_front();
    return a;
  }
  void setTitle(std::string_view t) override { title = t; }
  void setProgressRange(int, int) override {}
  void setProgressPosition(int) override {}
  std::optional<std::string> chooseOpenFile(const platform::FileDialogRequest& r) override {
    dialogs.push_back(r);
    return chosenPath;
  }
  std::optional<std::string> chooseSaveFile(const platform::FileDialogRequest& r) override {
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
