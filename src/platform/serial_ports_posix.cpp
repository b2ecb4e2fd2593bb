// Finding the serial devices present on a Linux machine: the /dev nodes of the three
// families the port table uses, and the stable /dev/serial/by-id names pointing at them.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string_view>
#include <tuple>

#include "platform/serial_device.h"

namespace trv810::platform {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kFamilies[] = {"ttyS", "ttyUSB", "ttyACM"};

// The family index and number of a node name like "ttyUSB3", or nothing.
std::optional<std::pair<int, long>> familyOf(std::string_view name) {
  for (int f = 0; f < 3; ++f) {
    const std::string_view prefix = kFamilies[f];
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) continue;
    const std::string_view digits = name.substr(prefix.size());
    if (!std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
      continue;
    if (digits.size() > 6) return std::nullopt;
    return std::pair{f, std::stol(std::string(digits))};
  }
  return std::nullopt;
}

// Linux creates ttyS nodes whether or not a UART is behind them; sysfs reports the
// port type, 0 meaning none.
bool hasPortBehind(const std::string& name) {
  std::ifstream type("/sys/class/tty/" + name + "/type");
  int value = -1;
  if (!(type >> value)) return true;  // no sysfs: assume it is real
  return value != 0;
}

std::map<std::string, std::vector<std::string>> byIdNames() {
  std::map<std::string, std::vector<std::string>> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/dev/serial/by-id", ec)) {
    const fs::path target = fs::canonical(entry.path(), ec);
    if (!ec) names[target.string()].push_back(entry.path().string());
  }
  for (auto& [device, list] : names) std::sort(list.begin(), list.end());
  return names;
}

}  // namespace

DevicePresence devicePresence(const std::string& path) {
  std::error_code ec;
  const fs::path target = fs::canonical(path, ec);
  if (ec) return DevicePresence::Missing;
  const auto family = familyOf(target.filename().string());
  if (target.parent_path() == "/dev" && family && family->first == 0 &&
      !hasPortBehind(target.filename().string()))
    return DevicePresence::NoPortBehind;
  return DevicePresence::Present;
}

std::vector<SerialDeviceInfo> listSerialDevices() {
  std::vector<std::tuple<int, long, std::string>> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/dev", ec)) {
    const std::string name = entry.path().filename().string();
    const auto family = familyOf(name);
    if (!family) continue;
    if (family->first == 0 && !hasPortBehind(name)) continue;
    found.emplace_back(family->first, family->second, entry.path().string());
  }
  std::sort(found.begin(), found.end());
  auto aliases = byIdNames();
  std::vector<SerialDeviceInfo> devices;
  for (auto& [family, number, path] : found) devices.push_back({path, aliases[path]});
  return devices;
}

}  // namespace trv810::platform
