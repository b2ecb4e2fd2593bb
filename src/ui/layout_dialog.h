#pragma once
// A modal dialog built from a layout table. Only its command handler ends it: the
// Escape key, Enter and the window's close button do nothing, as the dialogs of this
// program end by their own buttons alone.

#include <functional>
#include <memory>
#include <optional>

#include <QDialog>

#include "platform/layout.h"
#include "ui/control_set.h"
#include "ui/qt_control_table.h"

namespace trv810::ui {

class LayoutDialog : public QDialog {
 public:
  /// The dialog laid out by `windowLayout`, owned by `owner`; its frame is placed relative to
  /// `ownerClient`'s top left.
  LayoutDialog(QWidget* owner, QWidget* ownerClient, const platform::WindowSpec& windowLayout);

  /// Handles a click on a button or radio button; a result ends the dialog with it.
  void setCommandHandler(std::function<std::optional<int>(int id)> handler) {
    handler_ = std::move(handler);
  }
  QtControlTable& controls() { return table_; }
  const ControlSet& controlSet() const { return *set_; }

  /// Refused: only the command handler ends the dialog.
  void reject() override {}

 private:
  std::function<std::optional<int>(int)> handler_;
  std::unique_ptr<ControlSet> set_;
  QtControlTable table_;
};

}  // namespace trv810::ui
