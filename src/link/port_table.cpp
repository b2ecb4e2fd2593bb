#include "link/port_table.h"

#include <cctype>
#include <cstdlib>
#include <stdexcept>

#include "platform/serial_device.h"

namespace trv810::link {

std::string portName(int index) { return "COM" + std::to_string(index + 1); }

PortTable PortTable::defaults() {
  PortTable table;
  for (int i = 0; i < kCount; ++i) {
    table.entries_[static_cast<std::size_t>(i)] = PortEntry{portName(i), platform::defaultPortDevice(i), false};
  }
  return table;
}

PortTable PortTable::fromEnvironment() {
  PortTable table = defaults();
  for (int i = 0; i < kCount; ++i) {
    const std::string variable = "TRV810_" + portName(i);
    if (const char* value = std::getenv(variable.c_str()); value != nullptr && *value != '\0') {
      table.setDevice(i, value);
      table.entries_[static_cast<std::size_t>(i)].fromEnvironment = true;
    }
  }
  return table;
}

void PortTable::setDevice(int index, std::string device) {
  if (index < 0 || index >= kCount) throw std::out_of_range("PortTable::setDevice");
  entries_.at(static_cast<std::size_t>(index)).device = std::move(device);
}

void PortTable::setNetworkAddress(std::string address) {
  entries_[kNetworkIndex] = PortEntry{address, std::move(address), false};
}

std::optional<int> PortTable::indexOf(std::string_view name) {
  if (name.size() < 4 || name.size() > 5) return std::nullopt;
  for (int i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(name[static_cast<std::size_t>(i)])) != "COM"[i])
      return std::nullopt;
  }
  int number = 0;
  for (std::size_t i = 3; i < name.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return std::nullopt;
    number = number * 10 + (name[i] - '0');
  }
  if (name[3] == '0' || number < 1 || number > kCount) return std::nullopt;
  return number - 1;
}

}  // namespace trv810::link
