#include "ui/layout_dialog.h"

#include "ui/text.h"

namespace trv810::ui {

namespace {

ControlInput commandsOf(LayoutDialog* dialog, std::function<std::optional<int>(int)>* handler) {
  ControlInput input;
  input.command = [dialog, handler](int id) {
    if (!*handler) return;
    if (std::optional<int> result = (*handler)(id)) dialog->done(*result);
  };
  return input;
}

}  // namespace

LayoutDialog::LayoutDialog(QWidget* owner, QWidget* ownerClient, const platform::WindowSpec& windowLayout)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      set_(std::make_unique<ControlSet>(this, windowLayout.controls, commandsOf(this, &handler_))),
      table_(*set_) {
  setWindowTitle(fromUtf8(windowLayout.title));
  setModal(true);
  setFixedSize(windowLayout.frame.w, windowLayout.frame.h);
  const QWidget* origin = ownerClient ? ownerClient : owner;
  move(origin ? origin->mapToGlobal(QPoint(windowLayout.frame.x, windowLayout.frame.y)) : QPoint(windowLayout.frame.x, windowLayout.frame.y));
}

}  // namespace trv810::ui
