#include "app/application.h"

#include <utility>

namespace trv810::app {

Application::Application(link::PortTable ports) : shell_(std::move(ports)) {}

Application::~Application() { closePort(); }

void Application::closePort() {
  // TODO(link): link_.closePort();
}

}  // namespace trv810::app
