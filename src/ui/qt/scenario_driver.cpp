#include "ui/qt/scenario_driver.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>

#include "ui/qt/child_windows.h"
#include "ui/qt/layout_dialog.h"
#include "ui/qt/main_window_widget.h"
#include "ui/qt/text.h"

// Qt's own: offers a key to the shortcuts (menus' and buttons' accelerators) as the
// window system's keys are offered; true when one took it.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text, bool autorep, ushort count);

namespace trv810::ui {

namespace {

constexpr int kTickMs = 20;

void settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

/// A key to `target`: to the shortcuts first, then pressed and released on it.
void sendKey(QWidget* target, int code, Qt::KeyboardModifiers modifiers, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, code, modifiers, text);
  if (qt_sendShortcutOverrideEvent(target, press.timestamp(), code, modifiers, text, false, 1)) return;
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, code, modifiers, text);
  QApplication::sendEvent(target, &release);
}

int keyCode(QChar c) {
  if (c.isLetter() && c.toUpper().unicode() < 128) return Qt::Key_A + (c.toUpper().unicode() - 'A');
  if (c.isDigit()) return Qt::Key_0 + (c.unicode() - '0');
  if (c == u' ') return Qt::Key_Space;
  return 0;
}

void mouse(QWidget* widget, QEvent::Type type) {
  const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
  QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

}  // namespace

QtScenarioDriver::QtScenarioDriver(MainWindowWidget& window, QString pictures)
    : window_(window), pictures_(std::move(pictures)) {}

void QtScenarioDriver::runTicks(const std::function<bool()>& tick) {
  // The next tick is armed before this one runs: a tick that opens a modal window
  // waits in its loop, where the next one runs. (A timer does not fire again while
  // its own handler runs; each tick is a timer of its own.)
  QEventLoop loop;
  bool finished = false;
  std::function<void()> next;
  next = [&] {
    if (finished) return;
    QTimer::singleShot(kTickMs, &loop, next);
    if (!tick()) {
      finished = true;
      loop.quit();
    }
  };
  QTimer::singleShot(0, &loop, next);
  loop.exec();
}

void QtScenarioDriver::closeModals() {
  for (int i = 0; i < 10; ++i) {
    auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!modal) return;
    modal->done(0);
  }
}

void QtScenarioDriver::menu(int commandId) {
  if (QAction* action = window_.menuAction(commandId)) action->trigger();
}

QWidget* QtScenarioDriver::focusedWidget() {
  // The keyboard reaches the window the user works in: the modal one, else the main
  // window (a window system activates it again when a modal one closes; the
  // offscreen platform does not).
  QWidget* top = QApplication::activeModalWidget();
  if (!top) top = &window_;
  if (QApplication::activeWindow() != top) QApplication::setActiveWindow(top);
  if (QWidget* focused = QApplication::focusWidget()) return focused;
  return top->focusWidget() ? top->focusWidget() : top;
}

void QtScenarioDriver::press(window::Key key) {
  QWidget* target = focusedWidget();
  switch (key.name) {
    case window::Key::Character: {
      const QChar c = QChar::fromLatin1(key.character);
      sendKey(target, keyCode(c), key.alt ? Qt::AltModifier : Qt::NoModifier, key.alt ? QString() : QString(c));
      return;
    }
    case window::Key::Enter: sendKey(target, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r")); return;
    case window::Key::Escape: sendKey(target, Qt::Key_Escape, Qt::NoModifier, QString()); return;
    case window::Key::Tab: sendKey(target, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t")); return;
    case window::Key::Space: sendKey(target, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" ")); return;
    case window::Key::Up: sendKey(target, Qt::Key_Up, Qt::NoModifier, QString()); return;
    case window::Key::Down: sendKey(target, Qt::Key_Down, Qt::NoModifier, QString()); return;
  }
}

void QtScenarioDriver::type(int id, std::string_view utf8) {
  QWidget* widget = control(id);
  if (!widget) return;
  focusedWidget();
  widget->setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) edit->selectAll();
  for (QChar c : fromUtf8(utf8)) sendKey(widget, keyCode(c), Qt::NoModifier, QString(c));
}

void QtScenarioDriver::click(int id) {
  if (QWidget* widget = control(id)) {
    mouse(widget, QEvent::MouseButtonPress);
    mouse(widget, QEvent::MouseButtonRelease);
  }
}

void QtScenarioDriver::doubleClick(int id) {
  if (QWidget* widget = control(id)) {
    mouse(widget, QEvent::MouseButtonPress);
    mouse(widget, QEvent::MouseButtonRelease);
    mouse(widget, QEvent::MouseButtonDblClick);
    mouse(widget, QEvent::MouseButtonRelease);
  }
}

void QtScenarioDriver::closeChild() {
  if (ChildWindow* child = window_.child()) static_cast<QAbstractButton*>(child->closeBox())->click();
}

bool QtScenarioDriver::childOpen() { return window_.child() && !window_.child()->closing(); }

bool QtScenarioDriver::dialogOpen() { return dynamic_cast<LayoutDialog*>(QApplication::activeModalWidget()); }

const ControlSet* QtScenarioDriver::controlSet() const {
  if (auto* dialog = dynamic_cast<LayoutDialog*>(QApplication::activeModalWidget())) return &dialog->controlSet();
  ChildWindow* child = window_.child();
  auto* content = child ? dynamic_cast<WindowContent*>(child->content()) : nullptr;
  return content ? &content->controls() : nullptr;
}

QWidget* QtScenarioDriver::control(int id) const {
  const ControlSet* set = controlSet();
  return set ? set->widget(id) : nullptr;
}

window::ControlTable& QtScenarioDriver::controls() {
  if (auto* dialog = dynamic_cast<LayoutDialog*>(QApplication::activeModalWidget())) return dialog->controls();
  ChildWindow* child = window_.child();
  auto* content = child ? dynamic_cast<WindowContent*>(child->content()) : nullptr;
  return content ? content->table() : static_cast<window::ControlTable&>(none_);
}

int QtScenarioDriver::focus() {
  const QWidget* focused = focusedWidget();
  const ControlSet* set = controlSet();
  if (!set || !focused) return -1;
  for (const auto& [control, widget] : set->all())
    if (control.id >= 0 && (widget == focused || widget->isAncestorOf(focused))) return control.id;
  return -1;
}

std::optional<std::string> QtScenarioDriver::box() {
  auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!shown) return std::nullopt;
  return toUtf8(shown->text());
}

void QtScenarioDriver::answer(window::Answer answer) {
  auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!shown) return;
  const QMessageBox::StandardButton which = answer == window::Answer::Yes  ? QMessageBox::Yes
                                            : answer == window::Answer::No ? QMessageBox::No
                                                                           : QMessageBox::Ok;
  if (QAbstractButton* button = shown->button(which)) button->click();
}

bool QtScenarioDriver::fileDialog() { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); }

void QtScenarioDriver::chooseFile(std::string_view path) {
  auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
  if (!dialog) return;
  if (path.empty()) {
    dialog->reject();
    return;
  }
  // Typed into the name field, as the user would: the dialog reads it on accepting.
  const QFileInfo file(fromUtf8(path));
  dialog->setDirectory(file.absolutePath());
  if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
    name->setText(file.fileName());
  else
    dialog->selectFile(file.fileName());
  static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own is protected
}

bool QtScenarioDriver::capture(std::string_view name, bool mainWindow) {
  if (pictures_.isEmpty()) return true;
  QWidget* widget = mainWindow ? nullptr : QApplication::activeModalWidget();
  if (!widget) widget = &window_;
  settle();
  return widget->grab().save(QDir(pictures_).filePath(fromUtf8(name) + QStringLiteral(".png")), "PNG");
}

}  // namespace trv810::ui
