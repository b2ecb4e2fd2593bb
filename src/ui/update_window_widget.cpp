#include "ui/update_window_widget.h"

namespace trv810::ui {

namespace {

std::unique_ptr<ControlSet> buildControls(ChildWindow& window, const app::ShellState& shell,
                                          std::function<void(int)> command) {
  ControlInput input;
  input.command = std::move(command);
  return std::make_unique<ControlSet>(
      window.client(), firmware::UpdateWindow::layout(shell.cell, shell.clientWidth).controls, std::move(input));
}

}  // namespace

UpdateWindowContent::UpdateWindowContent(ChildWindow& window, app::Application& application)
    : sink_([this](const transfer::Notification& n) { logic_.onNotification(n); }),
      set_(buildControls(window, application.shell(), [this](int id) { logic_.onCommand(id); })),
      table_(*set_),
      host_(&window, [&window](const QString& title) { window.setTitle(title); }, set_->progressBar(),
            [&window] { window.closeWindow(); }),
      logic_(application.flash(), application.firmwarePath(), application.link(), application.transfer(),
             {application.shell().ports, application.shell().selectedPort}, table_, host_, sink_) {
  logic_.onCreate();
}

}  // namespace trv810::ui
