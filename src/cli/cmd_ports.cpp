// trv810ctl ports: the twelve port names with the device each stands for, and the
// serial devices present on this machine.

#include <cstdio>

#include "cli/command.h"
#include "link/port_table.h"
#include "platform/serial_device.h"

namespace trv810::cli {
namespace {

const char* presenceText(platform::DevicePresence presence) {
  switch (presence) {
    case platform::DevicePresence::Present: return "present";
    case platform::DevicePresence::Missing: return "missing";
    case platform::DevicePresence::NoPortBehind: return "no port behind it";
  }
  return "";
}

void printPortTable() {
  const link::PortTable table = link::PortTable::fromEnvironment();
  std::printf("Port names:\n");
  for (int i = 0; i < link::PortTable::kCount; ++i) {
    const link::PortEntry& e = table.entry(i);
    std::printf("  %-6s %-22s %s", e.name.c_str(), e.device.c_str(),
                presenceText(platform::devicePresence(e.device)));
    if (e.fromEnvironment) std::printf("  (TRV810_%s)", e.name.c_str());
    std::printf("\n");
  }
}

void printDevicesPresent() {
  std::printf("\nSerial devices on this machine:\n");
  const auto devices = platform::listSerialDevices();
  if (devices.empty()) std::printf("  none found\n");
  for (const auto& d : devices) {
    std::printf("  %s\n", d.path.c_str());
    for (const auto& alias : d.byId) std::printf("      %s\n", alias.c_str());
  }
}

int runPorts(const std::vector<std::string>& args, const GlobalOptions&) {
  if (!args.empty()) return usageError(kPortsCommand, "takes no arguments");
  printPortTable();
  printDevicesPresent();
  std::printf("\nTRV810_COM<n>=DEVICE maps port name COM<n> to another device.\n");
  return kExitOk;
}

}  // namespace

const Command kPortsCommand{"ports", "", "list the port names, their devices, and the serial devices present", runPorts};

}  // namespace trv810::cli
