#include "ui/qt/configuration_window.h"

#include <functional>

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

#include "config/control_ids.h"
#include "config/signal_box.h"
#include "ui/qt/cell_metrics.h"
#include "ui/qt/edit_validator.h"
#include "ui/qt/layout_dialog.h"
#include "ui/qt/text.h"

namespace trv810::ui {

namespace {

namespace ids = config::ids;

constexpr char kIdProperty[] = "trv810ControlId";

/// Reports a press of the left button on the form's controls, and whether it was the
/// left button alone without a modifier key; the press then goes on as usual.
class PressFilter : public QObject {
 public:
  PressFilter(QObject* parent, std::function<void(int id, bool onlyLeftButton)> onPress)
      : QObject(parent), onPress_(std::move(onPress)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress) {
      const auto* press = static_cast<QMouseEvent*>(event);
      if (press->button() == Qt::LeftButton)
        onPress_(watched->property(kIdProperty).toInt(),
                 press->buttons() == Qt::LeftButton && press->modifiers() == Qt::NoModifier);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void(int, bool)> onPress_;
};

constexpr qreal kSmallestPointSize = 6;

/// Whether `font` fits the layout: every label's caption within its width, and the
/// largest value of every number edit (seven digits of an address, 65000 s) within
/// its edit. The ident's widest characters may need more than its cells; its edit
/// grows to the right into free room instead (ControlSet).
bool fits(const QFont& font, const std::vector<platform::ControlSpec>& layout) {
  const QFontMetrics metrics(font);
  QLineEdit edit;
  edit.setFont(font);
  for (const platform::ControlSpec& control : layout) {
    if (control.kind == platform::ControlKind::Static && metrics.horizontalAdvance(fromUtf8(control.text)) > control.w)
      return false;
    if (control.kind == platform::ControlKind::DigitEdit && !control.widest.empty()) {
      edit.setFrame(control.border);
      edit.resize(control.w, control.h);
      if (metrics.horizontalAdvance(fromUtf8(control.widest)) > EditValidator::textWidth(&edit)) return false;
    }
  }
  return true;
}

/// Turns the wheel over the table's rows into line steps of the window's logic, as
/// many lines per notch as the desktop sets. The lists in the rows then scroll the
/// table rather than changing their entry.
class WheelFilter : public QObject {
 public:
  WheelFilter(QObject* parent, QWidget* client, QRect table, std::function<void(int lines)> onLines)
      : QObject(parent), client_(client), table_(table), onLines_(std::move(onLines)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Wheel) return false;
    auto* wheel = static_cast<QWheelEvent*>(event);
    auto* widget = static_cast<QWidget*>(watched);
    if (!table_.contains(widget->mapTo(client_, wheel->position().toPoint()))) return false;
    pending_ += wheel->angleDelta().y();
    const int notches = pending_ / QWheelEvent::DefaultDeltasPerStep;
    pending_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0) onLines_(-notches * QApplication::wheelScrollLines());
    return true;
  }

 private:
  QWidget* client_;
  QRect table_;
  std::function<void(int)> onLines_;
  int pending_ = 0;
};

/// The font of the window's controls: the application's, in half points smaller
/// until it fits the layout. The cell comes from the fixed-pitch font, and the
/// proportional font's digits and the edits' frames may need more room than the
/// layout gives them at the same size.
QFont controlFont(const std::vector<platform::ControlSpec>& layout) {
  QFont font = QApplication::font();
  if (font.pointSizeF() <= 0) return font;  // sized in pixels: left as it is
  while (!fits(font, layout) && font.pointSizeF() - 0.5 >= kSmallestPointSize)
    font.setPointSizeF(font.pointSizeF() - 0.5);
  return font;
}

config::ScrollRequest scrollRequest(ScrollAction action) {
  switch (action) {
    case ScrollAction::LineUp: return config::ScrollRequest::LineUp;
    case ScrollAction::LineDown: return config::ScrollRequest::LineDown;
    case ScrollAction::PageUp: return config::ScrollRequest::PageUp;
    case ScrollAction::PageDown: return config::ScrollRequest::PageDown;
    case ScrollAction::Thumb: return config::ScrollRequest::Thumb;
    case ScrollAction::Top: return config::ScrollRequest::Top;
    case ScrollAction::Bottom: return config::ScrollRequest::Bottom;
  }
  return config::ScrollRequest::EndScroll;
}

}  // namespace

ConfigurationWindow::ConfigurationWindow(ChildWindow& window, app::Application& application)
    : window_(window),
      dialogBase_(measureDialogBase(QApplication::font())),
      set_(buildControls(application.shell())),
      table_(*set_),
      host_(&window, [&window](const QString& title) { window.setTitle(title); }, set_->progressBar(),
            [&window] { window.closeWindow(); }, set_.get(), [this] { logic_.onTick(); }),
      sink_([this](const transfer::Notification& n) { logic_.onNotification(n); }),
      logic_(application.configImage(), application.staging(), application.configPath(), application.transfer(),
             {application.shell().ports, application.shell().selectedPort}, table_, *this, sink_) {
  watchPresses();
  logic_.onCreate();
}

ConfigurationWindow::~ConfigurationWindow() = default;

bool ConfigurationWindow::mayClose() { return logic_.onCloseRequest(); }

void ConfigurationWindow::onClose() { logic_.onClose(); }

std::unique_ptr<ControlSet> ConfigurationWindow::buildControls(const app::ShellState& shell) {
  const platform::WindowSpec layout = config::ConfigWindow::layout(shell.cell, shell.clientWidth, shell.clientHeight);
  window_.client()->setFont(controlFont(layout.controls));
  return std::make_unique<ControlSet>(window_.client(), layout.controls, input(), layout.tabOrder);
}

ControlInput ConfigurationWindow::input() {
  ControlInput in;
  in.command = [this](int id) { logic_.onCommand(id); };
  in.scrolled = [this](int, ScrollAction action, int position) { logic_.onScroll(scrollRequest(action), position); };
  in.doubleClicked = [this](int id) { logic_.onDoubleClick(id); };
  in.pasted = [this](const platform::ControlSpec& edit, const std::string& utf8) { return logic_.onPaste(edit, utf8); };
  return in;
}

void ConfigurationWindow::watchPresses() {
  auto* filter = new PressFilter(window_.client(), [this](int id, bool onlyLeftButton) {
    logic_.onLeftButtonDown(id, onlyLeftButton);
  });
  for (const auto& [control, widget] : set_->all()) {
    if (control.id < 0 || control.id > ids::kLastFieldId) continue;
    widget->setProperty(kIdProperty, control.id);
    widget->installEventFilter(filter);
  }
  // The wheel over the table: its group box holds the rows and the scroll bar, which
  // handles the wheel itself.
  const platform::ControlSpec& group = set_->all().front().first;
  auto* wheel = new WheelFilter(window_.client(), window_.client(), QRect(group.x, group.y, group.w, group.h),
                                [this](int lines) { logic_.onWheel(lines); });
  window_.client()->installEventFilter(wheel);
  for (const auto& [control, widget] : set_->all())
    if (control.id != ids::kScrollBar && QRect(group.x, group.y, group.w, group.h).contains(widget->geometry()))
      widget->installEventFilter(wheel);
}

platform::Answer ConfigurationWindow::messageBox(std::string_view text, std::string_view caption,
                                                 platform::Icon icon, platform::Buttons buttons,
                                                 platform::Answer defaultAnswer) {
  return host_.messageBox(text, caption, icon, buttons, defaultAnswer);
}

void ConfigurationWindow::setTitle(std::string_view title) { host_.setTitle(title); }

void ConfigurationWindow::setProgressRange(int minimum, int maximum) { host_.setProgressRange(minimum, maximum); }

void ConfigurationWindow::setProgressPosition(int position) { host_.setProgressPosition(position); }

std::optional<std::string> ConfigurationWindow::chooseOpenFile(const platform::FileDialogRequest& request) {
  return host_.chooseOpenFile(request);
}

std::optional<std::string> ConfigurationWindow::chooseSaveFile(const platform::FileDialogRequest& request) {
  return host_.chooseSaveFile(request);
}

void ConfigurationWindow::setWaitCursor(bool wait) { host_.setWaitCursor(wait); }

void ConfigurationWindow::requestClose() { host_.requestClose(); }

void ConfigurationWindow::setScrollPosition(int id, int position) { table_.setSelection(id, position); }

int ConfigurationWindow::runSignalBox(config::SignalBox& box, int ownerId) {
  // Owned by the edit, placed like any dialog of this window: relative to its client
  // area's top left.
  QWidget* owner = set_->widget(ownerId);
  LayoutDialog dialog(owner ? owner : window_.client(), window_.client(), config::SignalBox::layout(dialogBase_));
  dialog.setCommandHandler([&box, &dialog](int id) { return box.onCommand(id, dialog.controls()); });
  dialog.setPasteHandler([&box, &dialog](const platform::ControlSpec& edit, const std::string& utf8) {
    return box.onPaste(edit, utf8, dialog.controls());
  });
  box.onInit(dialog.controls());
  const int result = dialog.exec() == 1 ? 1 : 0;
  // The double click that opened the dialog goes on to the edit once this returns and
  // would select a word of the new text; the edit shows it unselected instead.
  if (auto* edit = qobject_cast<QLineEdit*>(owner))
    QTimer::singleShot(0, edit, [edit] { edit->deselect(); });
  return result;
}

}  // namespace trv810::ui
