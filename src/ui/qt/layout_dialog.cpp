#include "ui/qt/layout_dialog.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include "ui/qt/text.h"

namespace trv810::ui {

namespace {

constexpr char kIdProperty[] = "trv810DialogId";

ControlInput inputOf(LayoutDialog* box, window::Dialog& dialog) {
  ControlInput input;
  input.command = [box, &dialog](int id) {
    if (std::optional<int> result = dialog.onCommand(id, box->controls())) box->done(*result);
  };
  input.edited = [box, &dialog](int id) { dialog.onEdited(id, box->controls()); };
  input.pasted = [box, &dialog](const window::ControlSpec& edit, const std::string& utf8) {
    return dialog.onPaste(edit, utf8, box->controls());
  };
  return input;
}

Qt::WindowFlags flagsFor(const window::WindowSpec& windowLayout) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
  if (windowLayout.closeCommand >= 0) flags |= Qt::WindowCloseButtonHint;
  return flags;
}

std::optional<window::Arrow> arrowOf(int key) {
  switch (key) {
    case Qt::Key_Up: return window::Arrow::Up;
    case Qt::Key_Down: return window::Arrow::Down;
    case Qt::Key_Left: return window::Arrow::Left;
    case Qt::Key_Right: return window::Arrow::Right;
    default: return std::nullopt;
  }
}

}  // namespace

LayoutDialog::LayoutDialog(QWidget* owner, QWidget* ownerClient, window::Dialog& dialog, window::CellSize base)
    : LayoutDialog(owner, ownerClient, dialog, dialog.dialogLayout(base)) {}

LayoutDialog::LayoutDialog(QWidget* owner, QWidget* ownerClient, window::Dialog& dialog,
                           const window::WindowSpec& windowLayout)
    : QDialog(owner, flagsFor(windowLayout)),
      dialog_(dialog),
      set_(std::make_unique<ControlSet>(this, windowLayout.controls, inputOf(this, dialog), windowLayout.tabOrder)),
      table_(*set_),
      host_(this, this, {}, nullptr, {}, set_.get()),
      enterCommand_(windowLayout.enterCommand),
      escapeCommand_(windowLayout.escapeCommand),
      closeCommand_(windowLayout.closeCommand) {
  setWindowTitle(fromUtf8(windowLayout.title));
  setModal(true);
  setFixedSize(windowLayout.frame.w, windowLayout.frame.h);
  const QWidget* origin = ownerClient ? ownerClient : owner;
  move(origin ? origin->mapToGlobal(QPoint(windowLayout.frame.x, windowLayout.frame.y)) : QPoint(windowLayout.frame.x, windowLayout.frame.y));
  for (const auto& [control, widget] : set_->all()) {
    if (control.kind != window::ControlKind::RadioButton) continue;
    widget->setProperty(kIdProperty, control.id);
    widget->installEventFilter(this);
  }
  dialog_.attachHost(host_);
  dialog_.onInit(table_);
  if (const int focus = dialog_.focusId(); focus >= 0) focusControl(focus);
}

void LayoutDialog::focusControl(int id) {
  if (QWidget* widget = set_->widget(id)) widget->setFocus(Qt::OtherFocusReason);
}

void LayoutDialog::command(int id) {
  if (id >= 0 && set_->input().command) set_->input().command(id);
}

void LayoutDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      command(enterCommand_);
      return;
    case Qt::Key_Escape:
      command(escapeCommand_);
      return;
    default:
      QWidget::keyPressEvent(event);  // not QDialog's: its Enter and Escape end the dialog
  }
}

void LayoutDialog::closeEvent(QCloseEvent* event) {
  // The command decides; the window goes only when it ends the dialog.
  event->ignore();
  command(closeCommand_);
}

bool LayoutDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const std::optional<window::Arrow> arrow = arrowOf(static_cast<QKeyEvent*>(event)->key());
  const QVariant id = watched->property(kIdProperty);
  if (!arrow || !id.isValid()) return false;
  focusControl(dialog_.onArrow(id.toInt(), *arrow, table_));
  return true;
}

}  // namespace trv810::ui
