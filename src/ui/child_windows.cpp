#include "ui/child_windows.h"

#include "app/texts.h"
#include "ui/configuration_window.h"
#include "ui/text.h"
#include "ui/update_window_widget.h"

namespace trv810::ui {

namespace {

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
      window->setContent(std::make_unique<ConfigurationWindow>(*window, application));
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
  window->show();
  return window;
}

}  // namespace trv810::ui
