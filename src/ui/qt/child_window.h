#pragma once
// A child window inside the main window's client area, with its own caption bar (the
// title and a close box) above its client area. What it shows comes from a content
// object, the binding of one window's logic; the child window owns it.
//
// Closing (the close box, or the content's posted close request) asks the content
// whether it may close, then runs its close handling, tells the shell and destroys
// the window.

#include <functional>
#include <memory>

#include <QFrame>

#include "window/layout.h"

class QLabel;

namespace trv810::ui {

class ChildWindow;

/// The binding of one window's logic to its child window.
class ChildContent {
 public:
  virtual ~ChildContent() = default;
  /// Whether the window may close now; it may ask the user first.
  virtual bool mayClose() { return true; }
  /// The window's own close handling, run before the window goes.
  virtual void onClose() {}
};

class ChildWindow : public QFrame {
 public:
  /// An empty child window titled `title` inside `parentClient`.
  ChildWindow(QWidget* parentClient, const QString& title);
  ~ChildWindow() override;

  /// Where controls go: (0, 0) is the top left of the client area.
  QWidget* client() const { return client_; }
  QString title() const;
  void setTitle(const QString& title);
  /// Places the window; `outer` includes the caption bar and the border.
  void setFrameRect(window::Rect outer);
  /// The outer size that gives a client area of `clientWidth` x `clientHeight`.
  QSize outerSize(int clientWidth, int clientHeight) const;

  void setContent(std::unique_ptr<ChildContent> content) { content_ = std::move(content); }
  ChildContent* content() const { return content_.get(); }
  /// Called once the window has closed, after the content's close handling.
  void setClosedHandler(std::function<void()> handler) { closed_ = std::move(handler); }

  /// Asks the content, then runs the close handling and destroys the window
  /// (deferred); once only. True when the window closes (or is closing already).
  bool closeWindow();
  bool closing() const { return closing_; }

  /// The close box, for tests.
  QWidget* closeBox() const { return closeBox_; }

 private:
  QWidget* titleBar_;
  QLabel* titleLabel_;
  QWidget* closeBox_;
  QWidget* client_;
  std::unique_ptr<ChildContent> content_;
  std::function<void()> closed_;
  bool closing_ = false;
};

}  // namespace trv810::ui
