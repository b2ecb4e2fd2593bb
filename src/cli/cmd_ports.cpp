// trv810ctl ports: the twelve port names with the device each stands for, and the
// serial devices present on this machine with what is behind each one.

#include <cstdio>

#include "app/device_description.h"
#include "app/texts.h"
#include "cli/command.h"
#include "cli/texts.h"
#include "link/port_table.h"
#include "platform/serial_device.h"

namespace trv810::cli {
namespace {

const char* presenceText(platform::DevicePresence presence) {
  switch (presence) {
    case platform::DevicePresence::Present: return texts::kPresent;
    case platform::DevicePresence::Missing: return texts::kMissing;
    case platform::DevicePresence::NoPortBehind: return texts::kNoPortBehind;
    case platform::DevicePresence::NetworkAddress: return texts::kNetworkAddress;
  }
  return "";
}

void printPortTable(const std::vector<platform::SerialDeviceInfo>& devices) {
  const link::PortTable table = link::PortTable::fromEnvironment();
  std::printf("%s", texts::kPortNamesHeading);
  for (int i = 0; i < link::PortTable::kCount; ++i) {
    const link::PortEntry& e = table.entry(i);
    std::printf("  %-6s %-22s %s", e.name.c_str(), e.device.c_str(),
                presenceText(platform::portPresence(e.device)));
    if (e.fromEnvironment) std::printf("  (TRV810_%s)", e.name.c_str());
    // The adapter's name right here, so that a technician sees which port is which.
    if (const platform::SerialDeviceInfo* d = platform::findSerialDevice(devices, e.device)) {
      if (!d->product.empty()) std::printf("  %s", d->product.c_str());
    }
    std::printf("\n");
  }
}

void printDevicesPresent(const std::vector<platform::SerialDeviceInfo>& devices) {
  std::printf("%s", texts::kDevicesHeading);
  if (devices.empty())
    std::printf("  %.*s\n", static_cast<int>(app::texts::kNoSerialDevice.size()), app::texts::kNoSerialDevice.data());
  for (const auto& d : devices) {
    std::printf("  %s\n", d.path.c_str());
    for (const std::string& line : app::describeDevice(d)) std::printf("      %s\n", line.c_str());
  }
}

int runPorts(const std::vector<std::string>& args, const GlobalOptions&) {
  if (!args.empty()) return usageError(kPortsCommand, std::string(texts::kNoArguments));
  const auto devices = platform::listSerialDevices();
  printPortTable(devices);
  printDevicesPresent(devices);
  if (!devices.empty()) std::printf("%s", texts::kRemapHint);
  return kExitOk;
}

}  // namespace

const Command kPortsCommand{"ports", "", texts::kPortsSummary, runPorts};

}  // namespace trv810::cli
