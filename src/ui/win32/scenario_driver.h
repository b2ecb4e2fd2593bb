#pragma once
// The scenario's driver over Win32: menu commands as the menu sends them, keys posted
// to the control with the focus (so the loop that runs them, the program's own or a
// modal one, translates them as the keyboard's), clicks as button clicks and mouse
// messages, boxes and dialogs found among the thread's windows, pictures as BMP files
// of what the screen shows.

#include <string>

#include "platform/win32.h"
#include "window/controls.h"
#include "window/scenario.h"

namespace trv810::ui::win32 {

class ControlSet;
class LayoutDialog;
class MainWindow;

class Win32ScenarioDriver : public window::ScenarioDriver {
 public:
  /// Drives `window`; pictures go into `pictures` (none when it is empty).
  Win32ScenarioDriver(MainWindow& window, std::wstring pictures);

  void runTicks(const std::function<bool()>& tick) override;
  void closeModals() override;
  void menu(int commandId) override;
  void press(window::Key key) override;
  void type(int id, std::string_view utf8) override;
  void click(int id) override;
  void doubleClick(int id) override;
  void closeChild() override;
  bool childOpen() override;
  bool dialogOpen() override;
  window::ControlTable& controls() override;
  int focus() override;
  std::optional<std::string> box() override;
  void answer(window::Answer answer) override;
  bool fileDialog() override;
  void chooseFile(std::string_view path) override;
  bool capture(std::string_view name, bool mainWindow) override;

 private:
  LayoutDialog* layoutDialog() const;
  ControlSet* controlSet() const;
  HWND control(int id) const;

  MainWindow& window_;
  std::wstring pictures_;
  window::MemoryControlTable none_;  // no window open: reads as empty
};

}  // namespace trv810::ui::win32
