#pragma once
// The main window over Qt: title "TRV810-Tool", fixed at 104 x 46 character cells
// (outer size) at 0,0 or where it stood last, no maximising; on a screen whose work
// area is smaller, cut to it, the client area keeping its size and scrolling (to the
// control that takes the focus, too); the menu "Menue_TRV810" with its accelerators;
// a white client area that hosts one child window at a time. Menu commands, size
// changes, closing and files dropped on it go to app::MainWindow; this class only
// builds and forwards.

#include <map>
#include <memory>

#include <QMainWindow>
#include <QPointer>

#include "app/application.h"
#include "app/main_window.h"
#include "app/port_dialog.h"
#include "app/shell_host.h"
#include "window/controls.h"
#include "ui/qt/child_window.h"
#include "ui/qt/layout_dialog.h"
#include "ui/qt/qt_window_host.h"

class QAction;
class QScrollArea;

namespace trv810::ui {

/// The menu's entries as a control table: enabled = not greyed.
class MenuTable : public window::ControlTable {
 public:
  void add(int id, QAction* action) { actions_[id] = action; }
  QAction* action(int id) const;

  std::string text(int id) const override;
  void setText(int id, std::string_view text) override;
  bool checked(int) const override { return false; }
  void setChecked(int, bool) override {}
  int selection(int) const override { return -1; }
  void setSelection(int, int) override {}
  bool enabled(int id) const override;
  void setEnabled(int id, bool enabled) override;

 private:
  std::map<int, QPointer<QAction>> actions_;
};

class MainWindowWidget : public QMainWindow, private app::ShellHost {
 public:
  /// The main window of `application`, laid out for the measured `cell`.
  MainWindowWidget(app::Application& application, window::CellSize cell);
  ~MainWindowWidget() override;

  app::MainWindow& logic() { return logic_; }
  app::Application& application() { return application_; }
  /// The white area child windows live in.
  QWidget* clientArea() const { return client_; }
  /// The part of the client area the window shows; all of it unless the screen is small.
  QScrollArea* clientView() const { return view_; }
  /// The open child window, or null.
  ChildWindow* child() const { return child_; }
  QAction* menuAction(int id) const { return menu_.action(id); }
  /// A file handed to the program (its command line, a drop): the logic opens it.
  void openFile(const QString& path);

  /// The port dialog for `dialog`, built and started but not shown.
  std::unique_ptr<LayoutDialog> buildPortDialog(app::PortDialog& dialog) { return host_.buildDialog(dialog, -1); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  bool createChild(app::ChildKind kind) override;
  app::ChildLogic* openChild() override;
  void buildMenu();
  void applyFrame();
  void showFocused(QWidget* focused);

  app::Application& application_;
  window::Rect frame_;
  QScrollArea* view_;
  QWidget* client_;
  MenuTable menu_;
  QtWindowHost host_;
  app::MainWindow logic_;
  QPointer<ChildWindow> child_;
};

}  // namespace trv810::ui
