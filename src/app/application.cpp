#include "app/application.h"

#include <utility>

#include "platform/network_address.h"

namespace trv810::app {

namespace {

// The port `name` as the port dialog can show it: one of the twelve names, or a
// network address that parses (which becomes the network entry). Nothing otherwise:
// a store from another machine or a hand-edited one may name anything.
std::optional<int> portToSelect(const std::string& name, link::PortTable& ports) {
  if (const std::optional<int> index = link::PortTable::indexOf(name)) return index;
  if (!platform::parseNetworkAddress(name).address) return std::nullopt;
  ports.setNetworkAddress(name);
  return link::PortTable::kNetworkIndex;
}

}  // namespace

Application::Application(link::PortTable ports, std::unique_ptr<platform::SettingsStore> settings,
                         std::unique_ptr<platform::SerialDeviceOpener> opener)
    : settings_(std::move(settings)),
      shell_(std::move(ports)),
      link_(events_, opener ? std::move(opener) : platform::makeDeviceOpener()) {
  shell_.remembered = &remembered_;
  shell_.selectedPort = portToSelect(remembered_.port(), shell_.ports).value_or(0);
}

Application::Application(link::PortTable ports, std::unique_ptr<platform::SettingsStore> settings)
    : Application(std::move(ports), std::move(settings), nullptr) {}

Application::Application(link::PortTable ports)
    : Application(std::move(ports), std::make_unique<platform::MemorySettings>(), nullptr) {}

Application::Application(link::PortTable ports, std::unique_ptr<platform::SerialDeviceOpener> opener)
    : Application(std::move(ports), std::make_unique<platform::MemorySettings>(), std::move(opener)) {}

Application::~Application() { closePort(); }

void Application::closePort() { link_.closePort(); }

}  // namespace trv810::app
