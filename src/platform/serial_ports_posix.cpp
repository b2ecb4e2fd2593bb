// Finding the serial devices present on a Linux machine: the /dev nodes of the three
// families the port table uses, the stable /dev/serial/by-id names pointing at them,
// and from sysfs what is behind each one: its driver and, for a USB adapter, the
// maker, product, serial number and ids the adapter reports.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string_view>
#include <tuple>

#include "platform/serial_ports_posix.h"

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
bool hasPortBehind(const fs::path& sys, const std::string& name) {
  std::ifstream type(sys / "class/tty" / name / "type");
  int value = -1;
  if (!(type >> value)) return true;  // no sysfs: assume it is real
  return value != 0;
}

std::map<std::string, std::vector<std::string>> byIdNames(const fs::path& dev) {
  std::map<std::string, std::vector<std::string>> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dev / "serial/by-id", ec)) {
    const fs::path target = fs::canonical(entry.path(), ec);
    if (!ec) names[target.string()].push_back(entry.path().string());
  }
  for (auto& [device, list] : names) std::sort(list.begin(), list.end());
  return names;
}

// The first line of a sysfs attribute, or "" when it is not there.
std::string attribute(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  return line;
}

// The last name of the link `dir`/`name` points to ("ftdi_sio" for .../drivers/ftdi_sio).
std::string linkName(const fs::path& dir, const char* name) {
  std::error_code ec;
  const fs::path target = fs::read_symlink(dir / name, ec);
  return ec ? std::string() : target.filename().string();
}

// Fills in the driver and the USB adapter's attributes from the device's place in
// sysfs. The driver is the first one found walking up from the tty's device that is
// not the generic serial-port layer newer kernels put between a UART and its driver;
// the USB attributes are those of the first ancestor that has a USB vendor id (the
// adapter itself, one or two levels above its interface).
void describe(const fs::path& sys, const std::string& name, SerialDeviceInfo& info) {
  std::error_code ec;
  fs::path dir = fs::canonical(sys / "class/tty" / name / "device", ec);
  if (ec) return;
  const fs::path top = fs::canonical(sys, ec) / "devices";
  bool driverSeen = false;
  for (int level = 0; level < 6 && dir.has_relative_path() && dir != top; ++level, dir = dir.parent_path()) {
    if (!driverSeen && linkName(dir, "subsystem") != "serial-base") {
      info.driver = linkName(dir, "driver");
      driverSeen = true;
    }
    const std::string vendorId = attribute(dir / "idVendor");
    if (!vendorId.empty()) {
      info.vendor = attribute(dir / "manufacturer");
      info.product = attribute(dir / "product");
      info.serialNumber = attribute(dir / "serial");
      info.usbId = vendorId + ":" + attribute(dir / "idProduct");
      return;
    }
  }
}

}  // namespace

DevicePresence devicePresence(const std::string& path) {
  std::error_code ec;
  const fs::path target = fs::canonical(path, ec);
  if (ec) return DevicePresence::Missing;
  const auto family = familyOf(target.filename().string());
  if (target.parent_path() == "/dev" && family && family->first == 0 &&
      !hasPortBehind("/sys", target.filename().string()))
    return DevicePresence::NoPortBehind;
  return DevicePresence::Present;
}

std::vector<SerialDeviceInfo> listSerialDevicesIn(const fs::path& dev, const fs::path& sys) {
  std::vector<std::tuple<int, long, std::string>> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(dev, ec)) {
    const std::string name = entry.path().filename().string();
    const auto family = familyOf(name);
    if (!family) continue;
    if (family->first == 0 && !hasPortBehind(sys, name)) continue;
    found.emplace_back(family->first, family->second, name);
  }
  std::sort(found.begin(), found.end());
  auto aliases = byIdNames(dev);
  const fs::path realDev = fs::canonical(dev, ec);
  std::vector<SerialDeviceInfo> devices;
  for (auto& [family, number, name] : found) {
    SerialDeviceInfo info;
    info.path = (dev / name).string();
    info.byId = aliases[(realDev / name).string()];
    describe(sys, name, info);
    devices.push_back(std::move(info));
  }
  return devices;
}

std::string defaultPortDevice(int index) {
  static const char* const kNodes[3] = {"/dev/ttyS", "/dev/ttyUSB", "/dev/ttyACM"};
  return kNodes[index / 4] + std::to_string(index % 4);
}

std::string portDeviceFor(const std::string& name) {
  return name.find('/') != std::string::npos ? name : std::string();
}

std::vector<SerialDeviceInfo> listSerialDevices() { return listSerialDevicesIn("/dev", "/sys"); }

}  // namespace trv810::platform
