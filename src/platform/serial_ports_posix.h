#pragma once
// The serial device listing of a Linux machine, read from a /dev and a /sys tree that
// can be given, so that tests can lay out a machine of their own.

#include <filesystem>
#include <vector>

#include "platform/serial_device.h"

namespace trv810::platform {

/// The serial devices below `dev` (with its serial/by-id names), described from `sys`:
/// what listSerialDevices() returns for "/dev" and "/sys".
std::vector<SerialDeviceInfo> listSerialDevicesIn(const std::filesystem::path& dev,
                                                  const std::filesystem::path& sys);

}  // namespace trv810::platform
