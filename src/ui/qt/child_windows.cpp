#include "ui/qt/child_windows.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLineEdit>

#include "ui/qt/edit_validator.h"
#include "ui/qt/text.h"

namespace trv810::ui {

namespace {

constexpr qreal kSmallestPointSize = 6;

/// Whether `font` fits the layout: every label's caption within its width, and the
/// largest value of every number edit (seven digits of an address, 65000 s) within
/// its edit. The ident's widest characters may need more than its cells; its edit
/// grows to the right into free room instead (ControlSet).
bool fits(const QFont& font, const std::vector<window::ControlSpec>& layout) {
  const QFontMetrics metrics(font);
  QLineEdit edit;
  edit.setFont(font);
  for (const window::ControlSpec& control : layout) {
    if (control.kind == window::ControlKind::Static && metrics.horizontalAdvance(fromUtf8(control.text)) > control.w)
      return false;
    if (control.kind == window::ControlKind::DigitEdit && !control.widest.empty()) {
      edit.setFrame(control.border);
      edit.resize(control.w, control.h);
      if (metrics.horizontalAdvance(fromUtf8(control.widest)) > EditValidator::textWidth(&edit)) return false;
    }
  }
  return true;
}

/// The font of a window's controls: the application's, in half points smaller until
/// it fits the layout. The cell comes from the fixed-pitch font, and the proportional
/// font's digits and the edits' frames may need more room than the layout gives them
/// at the same size.
QFont controlFont(const std::vector<window::ControlSpec>& layout) {
  QFont font = QApplication::font();
  if (font.pointSizeF() <= 0) return font;  // sized in pixels: left as it is
  while (!fits(font, layout) && font.pointSizeF() - 0.5 >= kSmallestPointSize)
    font.setPointSizeF(font.pointSizeF() - 0.5);
  return font;
}

std::unique_ptr<ControlSet> buildControls(ChildWindow& window, const window::WindowSpec& layout) {
  window.client()->setFont(controlFont(layout.controls));
  return std::make_unique<ControlSet>(window.client(), layout.controls, ControlInput{}, layout.tabOrder);
}

}  // namespace

WindowContent::WindowContent(ChildWindow& window, app::ChildKind kind, app::Application& application)
    : layout_(app::childLayout(kind, application.shell())),
      sink_([this](const transfer::Notification& n) { logic_->onNotification(n); }),
      set_(buildControls(window, layout_)),
      table_(*set_),
      host_(&window, window.client(), [&window](const QString& title) { window.setTitle(title); }, set_->progressBar(),
            [&window] { window.closeWindow(); }, set_.get(), [this] { logic_->onTick(); }) {
  // The logic works on the controls, so it comes after them; their input reaches it
  // from now on.
  logic_ = app::makeChildLogic(kind, application, layout_, table_, host_, sink_);
  set_->setInput(logic_->input());
  logic_->onCreate();
}

WindowContent::~WindowContent() {
  // The logic goes first: it stops a transfer that still posts to the sink.
  logic_.reset();
}

ChildWindow* createChildWindow(app::ChildKind kind, QWidget* client, app::Application& application) {
  if (kind == app::ChildKind::None) return nullptr;
  const app::ChildFrame shape = app::childFrame(kind, application.shell());
  auto* window = new ChildWindow(client, fromUtf8(shape.title));
  window->setFrameRect(shape.frame);
  window->setContent(std::make_unique<WindowContent>(*window, kind, application));
  window->show();
  return window;
}

}  // namespace trv810::ui
