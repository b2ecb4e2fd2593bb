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

LayoutDialog::LayoutDialog(QWidget* owner, QWidget* ownerClient, const platform::WindowSpec& spec)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      set_(std::make_unique<ControlSet>(this, spec.controls, commandsOf(this, &handler_))),
      table_(*set_) {
  setWindowTitle(fromUtf8(spec.title));
  setModal(true);
  setFixedSize(spec.frame.w, spec.frame.h);
  const QWidget* origin = ownerClient ? ownerClient : owner;
  move(origin ? origin->mapToGlobal(QPoint(spec.frame.x, spec.frame.y)) : QPoint(spec.frame.x, spec.frame.y));
}

}  // namespace trv810::ui
