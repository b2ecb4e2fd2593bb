#pragma once
// Acting on a modal dialog from inside its own event loop: the test arms an action
// before the code under test opens the dialog; the action runs once the dialog shows.

#include <functional>

#include <QApplication>
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

}  // namespace trv810::ui::test
