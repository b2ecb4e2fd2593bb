#pragma once
// A modal dialog built from a layout table. Only its command handler ends it. Enter,
// Escape and the window's close button give the commands the layout names for them,
// and do nothing where it names none, as the dialogs of this program end by their
// own buttons. Arrow keys on a control go to an arrow handler, when there is one; a
// paste into an edit goes in whole when the paste handler takes it (without one, when
// the edit's layout admits it).

#include <functional>
#include <memory>
#include <optional>

#include <QDialog>

#include "window/controls.h"
#include "window/layout.h"
#include "ui/qt/control_set.h"
#include "ui/qt/qt_control_table.h"

namespace trv810::ui {

class LayoutDialog : public QDialog {
 public:
  /// The dialog laid out by `windowLayout`, owned by `owner`; its frame is placed relative to
  /// `ownerClient`'s top left.
  LayoutDialog(QWidget* owner, QWidget* ownerClient, const window::WindowSpec& windowLayout);

  /// Handles a click on a button or radio button; a result ends the dialog with it.
  void setCommandHandler(std::function<std::optional<int>(int id)> handler) {
    handler_ = std::move(handler);
  }
  /// Handles an arrow key on control `id`; returns the control that takes the focus.
  void setArrowHandler(std::function<int(int id, window::Arrow arrow)> handler) {
    arrowHandler_ = std::move(handler);
  }
  /// Decides whether a paste into `edit` that would make `utf8` its text goes in.
  void setPasteHandler(std::function<bool(const window::ControlSpec& edit, const std::string& utf8)> handler) {
    pasteHandler_ = std::move(handler);
  }
  /// Gives control `id` the focus once the dialog shows.
  void focusControl(int id);

  QtControlTable& controls() { return table_; }
  const ControlSet& controlSet() const { return *set_; }

  /// Refused: only the command handler ends the dialog.
  void reject() override {}

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void command(int id);

  std::function<std::optional<int>(int)> handler_;
  std::function<int(int, window::Arrow)> arrowHandler_;
  std::function<bool(const window::ControlSpec&, const std::string&)> pasteHandler_;
  std::unique_ptr<ControlSet> set_;
  QtControlTable table_;
  int enterCommand_;
  int escapeCommand_;
  int closeCommand_;
};

}  // namespace trv810::ui
