// Finding a port's device in the listing of present serial devices; the same on
// every platform, as it compares names first and asks the file system only after.

#include <algorithm>
#include <filesystem>

#include "platform/serial_device.h"

namespace trv810::platform {

const SerialDeviceInfo* findSerialDevice(const std::vector<SerialDeviceInfo>& devices,
                                         const std::string& path) {
  for (const SerialDeviceInfo& d : devices) {
    if (d.path == path || std::find(d.byId.begin(), d.byId.end(), path) != d.byId.end()) return &d;
  }
  // Any other link to the node (a udev rule's name, a relative path): the same file.
  std::error_code ec;
  for (const SerialDeviceInfo& d : devices) {
    if (std::filesystem::equivalent(path, d.path, ec) && !ec) return &d;
  }
  return nullptr;
}

}  // namespace trv810::platform
