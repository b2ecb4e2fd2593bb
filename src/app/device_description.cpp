#include "app/device_description.h"

#include "app/texts.h"

namespace trv810::app {

std::vector<std::string> describeDevice(const platform::SerialDeviceInfo& device) {
  std::vector<std::string> lines;
  std::string adapter = device.vendor;
  if (!device.product.empty()) adapter += (adapter.empty() ? "" : " ") + device.product;
  if (!device.usbId.empty()) adapter += (adapter.empty() ? "" : " ") + ("(" + device.usbId + ")");
  if (!adapter.empty()) lines.push_back(std::string(texts::kUsbAdapter) + adapter);
  if (!device.serialNumber.empty()) lines.push_back(std::string(texts::kSerialNumber) + device.serialNumber);
  if (!device.driver.empty()) lines.push_back(std::string(texts::kDriver) + device.driver);
  for (const std::string& name : device.byId) lines.push_back(std::string(texts::kStableName) + name);
  return lines;
}

std::vector<std::string> portDetails(const std::string& path,
                                     const std::vector<platform::SerialDeviceInfo>& present) {
  if (present.empty()) return {std::string(texts::kNoSerialDevice)};
  const platform::SerialDeviceInfo* device = platform::findSerialDevice(present, path);
  return device ? describeDevice(*device) : std::vector<std::string>{};
}

}  // namespace trv810::app
