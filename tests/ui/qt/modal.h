#pragma once
// Acting on a modal dialog from inside its own event loop: the test arms an action
// before the code under test opens the dialog; the action runs once the dialog shows.

#include <functional>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

namespace trv810::ui::test {

/// Runs `act` on the first visible top-level widget of type W once it appears
/// (polled every 10 ms, at most 5 s).
template <class W>
void whenShown(std::function<void(W*)> act, int attempts = 500) {
  QTimer::singleShot(attempts == 500 ? 0 : 10, [act, attempts] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* wanted = dynamic_cast<W*>(widget); wanted && wanted->isVisible()) {
        act(wanted);
        return;
      }
    }
    if (attempts > 0) whenShown<W>(act, attempts - 1);
  });
}

/// What a message box showed, and the widget that owned it.
struct ShownBox {
  QString text;
  QString caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QWidget* owner = nullptr;
};

/// Records the next message box that appears into `shown` and closes it with OK.
inline void acceptNextBox(ShownBox& shown) {
  whenShown<QMessageBox>([&shown](QMessageBox* box) {
    shown = {box->text(), box->windowTitle(), box->icon(), box->parentWidget()};
    box->accept();
  });
}

}  // namespace trv810::ui::test
