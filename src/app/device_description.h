#pragma once
// What is behind a port's device, in the words the port dialog's tool tip and
// trv810ctl ports show: built from the platform's listing of present serial devices.

#include <string>
#include <vector>

#include "platform/serial_device.h"

namespace trv810::app {

/// The lines saying what `device` is: for a USB adapter its maker and product with
/// their ids, and its serial number; its driver; its stable by-id names. Lines whose
/// facts the system did not tell are left out.
std::vector<std::string> describeDevice(const platform::SerialDeviceInfo& device);

/// What a port's tool tip says below its path: what is behind `path` when it is among
/// `present`, one fact a line; when no serial device is present at all, a line saying
/// that TRV810_COM<n> can point a port at any device.
std::vector<std::string> portDetails(const std::string& path,
                                     const std::vector<platform::SerialDeviceInfo>& present);

}  // namespace trv810::app
