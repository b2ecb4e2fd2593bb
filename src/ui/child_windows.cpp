#include "ui/child_windows.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/texts.h"
#include "ui/configuration_window.h"
#include "ui/text.h"

namespace trv810::ui {

namespace {

// TODO(firmware): the flash-update window replaces this placeholder once its logic is
// delivered; it keeps the frame geometry below.
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

/// The flash-update window: 50 x 11 cells, centred, one cell below the top.
platform::Rect flashUpdateFrame(const app::ShellState& shell) {
  const int w = shell.cell.width;
  const int h = shell.cell.height;
  return {shell.clientWidth / 2 - 25 * w, h, 50 * w, 11 * h};
}

}  // namespace

ChildWindow* createChildWindow(app::ChildKind kind, QWidget* client, app::Application& application) {
  const app::ShellState& shell = application.shell();
  ChildWindow* window = nullptr;
  switch (kind) {
    case app::ChildKind::Configuration:
      window = new ChildWindow(client, fromUtf8(app::texts::kConfigurationTitle));
      window->setFrameRect(configurationFrame(shell));
      window->setContent(std::make_unique<ConfigurationWindow>(*window, application));
      break;
    case app::ChildKind::FlashUpdate:
      window = new ChildWindow(client, fromUtf8(app::texts::kFlashUpdateTitle));
      window->setFrameRect(flashUpdateFrame(shell));
      window->setContent(std::make_unique<Placeholder>(*window));
      break;
    case app::ChildKind::None:
      return nullptr;
  }
  window->show();
  return window;
}

}  // namespace trv810::ui
