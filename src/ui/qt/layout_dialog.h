#pragma once
// A modal dialog built from a window::Dialog's layout, its input handed to that
// dialog. Only a result of its onCommand() ends it. Enter, Escape and the window's
// close button give the commands the layout names for them, and do nothing where it
// names none, as the dialogs of this program end by their own buttons. Arrow keys on
// a radio button go to its onArrow(); typing in an edit goes to its onEdited(), and a
// paste into an edit goes in whole when its onPaste() takes it.

#include <functional>
#include <memory>
#include <optional>

#include <QDialog>

#include "window/controls.h"
#include "window/dialog.h"
#include "window/layout.h"
#include "ui/qt/control_set.h"
#include "ui/qt/qt_control_table.h"
#include "ui/qt/qt_window_host.h"

namespace trv810::ui {

class LayoutDialog : public QDialog {
 public:
  /// The dialog of `dialog` in dialog units of `base`, owned by `owner`; its frame is
  /// placed relative to `ownerClient`'s top left. Its input goes to `dialog`, which
  /// must outlive it and is started (onInit, the focus) here.
  LayoutDialog(QWidget* owner, QWidget* ownerClient, window::Dialog& dialog, window::CellSize base);

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
  LayoutDialog(QWidget* owner, QWidget* ownerClient, window::Dialog& dialog, const window::WindowSpec& windowLayout);
  void command(int id);

  window::Dialog& dialog_;
  std::unique_ptr<ControlSet> set_;
  QtControlTable table_;
  QtWindowHost host_;  // the dialog's own: its boxes and the focus among its controls
  int enterCommand_;
  int escapeCommand_;
  int closeCommand_;
};

}  // namespace trv810::ui
