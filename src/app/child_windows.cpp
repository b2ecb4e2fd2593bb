#include "app/child_windows.h"

#include "app/texts.h"
#include "config/config_window.h"
#include "firmware/update_window.h"

namespace trv810::app {

namespace {

bool endsWithIgnoringCase(std::string_view name, std::string_view ending) {
  if (name.size() < ending.size()) return false;
  name.remove_prefix(name.size() - ending.size());
  for (std::size_t i = 0; i < ending.size(); ++i)
    if ((name[i] >= 'A' && name[i] <= 'Z' ? name[i] - 'A' + 'a' : name[i]) != ending[i]) return false;
  return true;
}

}  // namespace

ChildKind childKindForFile(std::string_view path) {
  if (endsWithIgnoringCase(path, ".kfg")) return ChildKind::Configuration;
  if (endsWithIgnoringCase(path, ".hex") || endsWithIgnoringCase(path, ".bin")) return ChildKind::FlashUpdate;
  return ChildKind::None;
}

ChildFrame childFrame(ChildKind kind, const ShellState& shell) {
  if (kind == ChildKind::FlashUpdate)
    return {texts::kFlashUpdateTitle, firmware::UpdateWindow::layout(shell.cell, shell.clientWidth).frame};
  return {texts::kConfigurationTitle, {0, 0, shell.clientWidth, shell.clientHeight}};
}

window::WindowSpec childLayout(ChildKind kind, const ShellState& shell) {
  if (kind == ChildKind::FlashUpdate) return firmware::UpdateWindow::layout(shell.cell, shell.clientWidth);
  return config::ConfigWindow::layout(shell.cell, shell.clientWidth, shell.clientHeight);
}

std::unique_ptr<ChildLogic> makeChildLogic(ChildKind kind, Application& application, const window::WindowSpec& layout,
                                           window::ControlTable& controls, window::WindowHost& host,
                                           transfer::NotificationSink& sink) {
  const transfer::PortChoice port{application.shell().ports, application.shell().selectedPort};
  if (kind == ChildKind::FlashUpdate) {
    auto child = std::make_unique<ChildOf<firmware::UpdateWindow>>(application.flash(), application.firmwarePath(),
                                                                   application.transfer(), port, controls, host, sink);
    child->window().useFileHistory(application.firmwareFiles());
    return child;
  }
  auto child = std::make_unique<ChildOf<config::ConfigWindow>>(application.configImage(), application.staging(),
                                                               application.configPath(), application.transfer(), port,
                                                               controls, host, sink);
  child->window().useLayout(layout);
  child->window().useFileHistory(application.configFiles());
  return child;
}

}  // namespace trv810::app
