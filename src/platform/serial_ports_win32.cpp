// The serial ports of a Windows machine: the COM names the serial drivers registered
// under HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, each opened as \\.\COMn.

#include <algorithm>
#include <cctype>
#include <string_view>

#include "platform/serial_device.h"
#include "platform/win32.h"

namespace trv810::platform {
namespace {

constexpr std::string_view kDevicePrefix = "\\\\.\\";

// The number of "COMn" (any case, n from 1, no leading zero), or 0.
unsigned comNumber(std::string_view name) {
  if (name.size() < 4 || name.size() > 7) return 0;
  for (std::size_t i = 0; i < 3; ++i) {
    if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return 0;
  }
  if (name[3] == '0') return 0;
  unsigned number = 0;
  for (char c : name.substr(3)) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
    number = number * 10 + static_cast<unsigned>(c - '0');
  }
  return number;
}

// "COM7" of "\\.\COM7", or "" for any other path.
std::string comNameOf(const std::string& path) {
  if (path.compare(0, kDevicePrefix.size(), kDevicePrefix) != 0) return {};
  const std::string name = path.substr(kDevicePrefix.size());
  return comNumber(name) != 0 ? name : std::string();
}

}  // namespace

std::string defaultPortDevice(int index) { return std::string(kDevicePrefix) + "COM" + std::to_string(index + 1); }

std::string portDeviceFor(const std::string& name) {
  if (comNumber(name) != 0) return std::string(kDevicePrefix) + name;
  if (name.find('\\') != std::string::npos || name.find('/') != std::string::npos) return name;
  return {};
}

DevicePresence devicePresence(const std::string& path) {
  const std::string name = comNameOf(path);
  if (name.empty()) {
    const DWORD attributes = ::GetFileAttributesW(win32::widen(path).c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ? DevicePresence::Missing : DevicePresence::Present;
  }
  wchar_t target[1024];
  return ::QueryDosDeviceW(win32::widen(name).c_str(), target, 1024) != 0 ? DevicePresence::Present
                                                                          : DevicePresence::Missing;
}

std::vector<SerialDeviceInfo> listSerialDevices() {
  std::vector<std::pair<unsigned, SerialDeviceInfo>> found;
  HKEY key{};
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) == ERROR_SUCCESS) {
    for (DWORD i = 0;; ++i) {
      wchar_t valueName[256];
      DWORD nameLength = 256;
      wchar_t data[64] = {};
      DWORD dataSize = sizeof data - sizeof(wchar_t);
      DWORD type = 0;
      const LONG r = ::RegEnumValueW(key, i, valueName, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data),
                                     &dataSize);
      if (r == ERROR_NO_MORE_ITEMS) break;
      if (r != ERROR_SUCCESS || type != REG_SZ) continue;
      const std::string name = win32::narrow(data);
      const unsigned number = comNumber(name);
      if (number == 0) continue;
      SerialDeviceInfo info;
      info.path = std::string(kDevicePrefix) + name;
      info.driver = win32::narrow(std::wstring_view(valueName, nameLength));  // e.g. \Device\Serial0
      found.emplace_back(number, std::move(info));
    }
    ::RegCloseKey(key);
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<SerialDeviceInfo> devices;
  for (auto& [number, info] : found) devices.push_back(std::move(info));
  return devices;
}

}  // namespace trv810::platform
