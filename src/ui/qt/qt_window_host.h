#pragma once
// A window's host over Qt: message boxes owned by the window with the exact text,
// caption, icon and default button; modal dialogs built from their layout, each run
// by the one runner of this face; the title; the progress bar; open/save file
// dialogs with the filter the logic gives; the wait cursor; the focus among the
// window's controls; a timer for the logic's ticks; and a close request that is
// posted, so the window closes after the handler that asked for it has returned.

#include <functional>
#include <memory>

#include <QPointer>
#include <QString>
#include <QTimer>

#include "window/layout.h"
#include "window/window_host.h"

class QMessageBox;
class QProgressBar;
class QWidget;

namespace trv810::ui {

class ControlSet;
class LayoutDialog;

class QtWindowHost : public window::WindowHost {
 public:
  /// Boxes and dialogs are owned by `owner`, dialogs placed relative to `client`'s top
  /// left; `title` sets the caption the user sees; `progress` may be null; `close` runs
  /// the window's close handling. The focus goes among `controls` (none: the window
  /// has no controls of its own); `tick` is the logic's onTick().
  QtWindowHost(QWidget* owner, QWidget* client, std::function<void(const QString&)> title, QProgressBar* progress,
               std::function<void()> close, const ControlSet* controls = nullptr, std::function<void()> tick = {});
  ~QtWindowHost() override;

  window::Answer messageBox(std::string_view text, std::string_view caption, window::Icon icon,
                              window::Buttons buttons = window::Buttons::Ok,
                              window::Answer defaultAnswer = window::Answer::Yes) override;
  int runDialog(window::Dialog& dialog, int ownerId) override;
  void setTitle(std::string_view title) override;
  void setProgressRange(int minimum, int maximum) override;
  void setProgressPosition(int position) override;
  std::optional<std::string> chooseOpenFile(const window::FileDialogRequest& request) override;
  std::optional<std::string> chooseSaveFile(const window::FileDialogRequest& request) override;
  void setWaitCursor(bool wait) override;
  void requestClose() override;
  void setFocus(int id, bool selectText) override;
  int focus() const override;
  void setTicking(bool on) override;

  /// The dialog of `dialog`, owned by control `ownerId` (-1: the window), built and
  /// started but not shown: its input goes to `dialog`.
  std::unique_ptr<LayoutDialog> buildDialog(window::Dialog& dialog, int ownerId);

  /// The filter string Qt's file dialog takes for `request`: the name, with the
  /// request's patterns in its parentheses.
  static QString nameFilter(const window::FileDialogRequest& request);
  /// Makes `box` at least as wide as its caption needs.
  static void keepCaptionWhole(QMessageBox& box);

 private:
  std::optional<std::string> chooseFile(const window::FileDialogRequest& request, bool save);

  QPointer<QWidget> owner_;
  QPointer<QWidget> client_;
  const window::CellSize dialogBase_;  // dialog units of the controls' font
  std::function<void(const QString&)> title_;
  QPointer<QProgressBar> progress_;
  std::function<void()> close_;
  const ControlSet* controls_;
  QTimer ticks_;
  bool waitCursor_ = false;
};

}  // namespace trv810::ui
