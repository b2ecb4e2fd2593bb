#include "ui/child_windows.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/texts.h"
#include "ui/text.h"
#include "ui/update_window_widget.h"

namespace trv810::ui {

namespace {

// TODO(config): the configuration window replaces this placeholder once its binding
// is delivered; it keeps the frame geometry below.
class Placeholder : public ChildContent {
 public:
  explicit Placeholder(ChildWindow& window) {
    auto* note = new QLabel(QStringLiteral("(in Arbeit)"), window.client());
    note->setAlignment(Qt::AlignCenter);
    (new QVBoxLayout(window.client()))->addWidget(note);
  }
};

/// The configuration window fills the main window's client area.
platform::Rect configurationFrame(const app::ShellState& shell) {
  return {0, 0, shell.clientWidth, shell.clientHeight};
}

}  // namespace

ChildWindow* createChildWindow(app::ChildKind kind, QWidget* client, app::Application& application) {
  const app::ShellState& shell = application.shell();
  ChildWindow* window = nullptr;
  switch (kind) {
    case app::ChildKind::Configuration:
      window = new ChildWindow(client, fromUtf8(app::texts::kConfigurationTitle));
      window->setFrameRect(configurationFrame(shell));
      break;
    case app::ChildKind::FlashUpdate:
      window = new ChildWindow(client, fromUtf8(app::texts::kFlashUpdateTitle));
      window->setFrameRect(firmware::UpdateWindow::layout(shell.cell, shell.clientWidth).frame);
      window->setContent(std::make_unique<UpdateWindowContent>(*window, application));
      window->show();
      return window;
    case app::ChildKind::None:
      return nullptr;
  }
  window->setContent(std::make_unique<Placeholder>(*window));
  window->show();
  return window;
}

}  // namespace trv810::ui
