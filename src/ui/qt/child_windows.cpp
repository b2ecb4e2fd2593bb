#include "ui/qt/child_windows.h"

#include "app/child_windows.h"
#include "ui/qt/configuration_window.h"
#include "ui/qt/text.h"
#include "ui/qt/update_window_widget.h"

namespace trv810::ui {

ChildWindow* createChildWindow(app::ChildKind kind, QWidget* client, app::Application& application) {
  if (kind == app::ChildKind::None) return nullptr;
  const app::ChildFrame shape = app::childFrame(kind, application.shell());
  auto* window = new ChildWindow(client, fromUtf8(shape.title));
  window->setFrameRect(shape.frame);
  if (kind == app::ChildKind::Configuration)
    window->setContent(std::make_unique<ConfigurationWindow>(*window, application));
  else
    window->setContent(std::make_unique<UpdateWindowContent>(*window, application));
  window->show();
  return window;
}

}  // namespace trv810::ui
