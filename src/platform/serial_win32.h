#pragma once
// What the Windows serial device makes of a failed CreateFileW, apart from the call,
// so that the texts a user reads for each failure can be checked on their own.

#include <cstdint>

#include "platform/serial_device.h"

namespace trv810::platform {

/// The open result for Windows error `error` (GetLastError() of CreateFileW).
SerialDeviceOpener::Result serialOpenFailure(uint32_t error);

}  // namespace trv810::platform
