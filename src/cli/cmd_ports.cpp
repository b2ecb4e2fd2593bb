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
    case platform::DevicePresence::Present: return "vorhanden";
    case platform::DevicePresence::Missing: return "fehlt";
    case platform::DevicePresence::NoPortBehind: return "kein Port dahinter";
  }
  return "";
}

void printPortTable() {
  const link::PortTable table = link::PortTable::fromEnvironment();
  std::printf("Portnamen:\n");
  for (int i = 0; i < link::PortTable::kCount; ++i) {
    const link::PortEntry& e = table.entry(i);
    std::printf("  %-6s %-22s %s", e.name.c_str(), e.device.c_str(),
                presenceText(platform::devicePresence(e.device)));
    if (e.fromEnvironment) std::printf("  (TRV810_%s)", e.name.c_str());
    std::printf("\n");
  }
}

void printDevicesPresent() {
  std::printf("\nSerielle Geräte auf diesem Rechner:\n");
  const auto devices = platform::listSerialDevices();
  if (devices.empty()) std::printf("  keine gefunden\n");
  for (const auto& d : devices) {
    std::printf("  %s\n", d.path.c_str());
    for (const auto& alias : d.byId) std::printf("      %s\n", alias.c_str());
  }
}

int runPorts(const std::vector<std::string>& args, const GlobalOptions&) {
  if (!args.empty()) return usageError(kPortsCommand, "erwartet keine Argumente");
  printPortTable();
  printDevicesPresent();
  std::printf("\nTRV810_COM<n>=GERÄT ordnet dem Portnamen COM<n> ein anderes Gerät zu.\n");
  return kExitOk;
}

}  // namespace

const Command kPortsCommand{"ports", "", "Portnamen, ihre Geräte und die vorhandenen seriellen Geräte zeigen", runPorts};

}  // namespace trv810::cli
