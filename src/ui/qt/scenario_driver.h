#pragma once
// The scenario's driver over Qt: menu commands through the menu's actions, keys as
// the keyboard gives them (shortcuts first, then the focused widget), clicks as mouse
// events, boxes and dialogs found as the application's active modal widget, pictures
// as PNG files of the widgets.

#include <QString>

#include "window/controls.h"
#include "window/scenario.h"

class QWidget;

namespace trv810::ui {

class ControlSet;
class MainWindowWidget;

class QtScenarioDriver : public window::ScenarioDriver {
 public:
  /// Drives `window`; pictures go into `pictures` (none when it is empty).
  QtScenarioDriver(MainWindowWidget& window, QString pictures);

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
  /// The controls of the active window: the open layout dialog's, else the child's.
  const ControlSet* controlSet() const;
  QWidget* control(int id) const;
  /// The widget the keyboard reaches in the active window.
  QWidget* focusedWidget();

  MainWindowWidget& window_;
  QString pictures_;
  window::MemoryControlTable none_;  // no window open: reads as empty
};

}  // namespace trv810::ui
