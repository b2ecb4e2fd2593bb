#pragma once
// The twelve port names the user picks, "COM1" to "COM12", and the device each one
// stands for on this machine. Defaults: on Linux COM1-COM4 are /dev/ttyS0-3, COM5-COM8
// /dev/ttyUSB0-3, COM9-COM12 /dev/ttyACM0-3; on Windows each is its own device
// (\\.\COM1 ...). The environment variable TRV810_COM<n> replaces entry n (for example
// TRV810_COM1=/dev/pts/7, or a network address: TRV810_COM1=socket://10.0.0.5:4001).
//
// Behind the twelve, one more entry holds a network address the user typed
// (kNetworkIndex): its name is the address itself, so every message shows the address
// where it would show a port's name.

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace trv810::link {

struct PortEntry {
  std::string name;    ///< "COM1" .. "COM12": what the user picks and messages show
  std::string device;  ///< the device path opened for it
  bool fromEnvironment = false;
};

class PortTable {
 public:
  static constexpr int kCount = 12;
  /// The entry of a typed network address, after the twelve names.
  static constexpr int kNetworkIndex = kCount;

  /// The default mapping, with TRV810_COM<n> applied from the environment.
  static PortTable fromEnvironment();
  /// The default mapping alone.
  static PortTable defaults();

  /// Entry `index` (0..11, or kNetworkIndex).
  const PortEntry& entry(int index) const { return entries_.at(static_cast<std::size_t>(index)); }
  /// Replaces the device of entry `index` (0..11).
  void setDevice(int index, std::string device);
  /// Sets the address of the network entry; its name and device are both `address`.
  void setNetworkAddress(std::string address);
  /// Index of "COM1".."COM12" (case-insensitive), if `name` is one of them.
  static std::optional<int> indexOf(std::string_view name);

 private:
  std::array<PortEntry, kCount + 1> entries_;
};

/// "COM" followed by index + 1.
std::string portName(int index);

}  // namespace trv810::link
