#include "app/application.h"

#include <utility>

namespace trv810::app {

Application::Application(link::PortTable ports) : shell_(std::move(ports)) {}

Application::Application(link::PortTable ports, std::unique_ptr<platform::SerialDeviceOpener> opener)
    : shell_(std::move(ports)), link_(events_, std::move(opener)) {}

Application::~Application() { closePort(); }

void Application::closePort() { link_.closePort(); }

}  // namespace trv810::app
