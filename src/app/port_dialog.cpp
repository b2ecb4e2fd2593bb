#include "app/port_dialog.h"

#include <algorithm>

#include "app/device_description.h"
#include "app/texts.h"
#include "platform/cp1252.h"
#include "platform/network_address.h"
#include "transfer/texts.h"

namespace trv810::app {

using window::CellSize;
using window::ControlKind;
using window::ControlSpec;
using window::control;
using window::dialogX;
using window::dialogY;

namespace {

// Dialog units. Each device label stands kLabelOffset units right of its radio
// button, which leaves room for toolkits whose radio marks are wider, and the word
// for its presence kPresenceWidth units after it; the second column moves right by
// kColumnShift. The rows and the two buttons keep their places.
constexpr int kRadioWidth = 35;
constexpr int kRadioHeight = 11;
constexpr int kLabelOffset = 44;
constexpr int kLabelWidth = 40;
constexpr int kPresenceWidth = 40;
constexpr int kColumnShift = 45 + kPresenceWidth;
// The group box's inner width, and the row of "Netzwerk" below the twelve ports.
constexpr int kGroupWidth = 80 + 2 * kColumnShift + 4;
constexpr int kNetworkRow = 12 + 16 * (link::PortTable::kCount / 2);
constexpr int kNetworkWidth = kLabelOffset;
constexpr int kButtonRow = kNetworkRow + 18;

// The control id of port `port` (0..11, or the network entry) and back.
int idOf(int port) {
  return port == link::PortTable::kNetworkIndex ? PortDialog::kNetworkId : PortDialog::kFirstPortId + port;
}
std::optional<int> portOf(int id) {
  if (id >= PortDialog::kFirstPortId && id <= PortDialog::kLastPortId) return id - PortDialog::kFirstPortId;
  if (id == PortDialog::kNetworkId) return link::PortTable::kNetworkIndex;
  return std::nullopt;
}

// The address as typed, without the blanks around it (a pasted one may bring some).
std::string typedAddress(const window::ControlTable& controls) {
  const std::string text = platform::cp1252ToUtf8(controls.text(PortDialog::kAddressId));
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string_view presenceWord(platform::DevicePresence presence) {
  switch (presence) {
    case platform::DevicePresence::Present: return texts::kDevicePresent;
    case platform::DevicePresence::Missing: return texts::kDeviceMissing;
    case platform::DevicePresence::NoPortBehind: return texts::kNoPortBehind;
    case platform::DevicePresence::NetworkAddress: return texts::kNetworkAddress;
  }
  return {};
}

}  // namespace

std::string PortDialog::deviceLabel(const std::string& device) {
  std::string label = device.rfind("/dev/", 0) == 0 ? device.substr(5) : device;
  if (label.size() <= kDeviceChars) return label;
  std::size_t cut = kDeviceChars - 1;
  while (cut > 0 && (static_cast<unsigned char>(label[cut]) & 0xC0) == 0x80) --cut;  // UTF-8 tail
  label = label.substr(0, cut) + "…";
  return label;
}

window::WindowSpec PortDialog::dialogLayout(CellSize dialogBase) const {
  return layout(dialogBase, shell_.ports, platform::listSerialDevices());
}

window::WindowSpec PortDialog::layout(CellSize cell, const link::PortTable& ports,
                                        const std::vector<platform::SerialDeviceInfo>& present,
                                        const PresenceOf& presenceOf) {
  auto rect = [cell](ControlKind kind, int id, std::string_view text, int x, int y, int w, int h) {
    return control(kind, id, std::string(text), dialogX(x, cell), dialogY(y, cell), dialogX(w, cell),
                   dialogY(h, cell));
  };
  window::WindowSpec windowLayout;
  windowLayout.title = std::string(texts::kPortCaption);
  windowLayout.clientSize = true;
  windowLayout.frame = {dialogX(60, cell), dialogY(40, cell), dialogX(84 + 2 * kColumnShift + 6, cell),
                dialogY(kButtonRow + 22, cell)};
  windowLayout.controls.push_back(
      rect(ControlKind::GroupBox, -1, texts::kPortGroup, 2, 2, kGroupWidth, kNetworkRow + 14));
  for (int i = 0; i < link::PortTable::kCount; ++i) {
    const int column = i % 2;
    const int x = 4 + column * (41 + kColumnShift);  // 4 and 45 without the labels
    const int y = 12 + 16 * (i / 2);
    const std::string& device = ports.entry(i).device;
    const std::string_view presence = presenceWord(presenceOf(device));
    // The whole path, which the label may shorten, with its presence; then what is
    // behind it.
    std::string tip = device + " (" + std::string(presence) + ")";
    for (const std::string& line : portDetails(device, present)) tip += "\n" + line;
    windowLayout.controls.push_back(
        rect(ControlKind::RadioButton, kFirstPortId + i, "COM " + std::to_string(i + 1), x, y, kRadioWidth,
             kRadioHeight)
            .tabbed()
            .tip(tip));
    windowLayout.controls.push_back(
        rect(ControlKind::Static, -1, deviceLabel(device), x + kLabelOffset, y, kLabelWidth, kRadioHeight).tip(tip));
    windowLayout.controls.push_back(rect(ControlKind::Static, -1, presence, x + kLabelOffset + kLabelWidth, y,
                                         kPresenceWidth, kRadioHeight)
                                        .tip(tip));
  }
  // A unit behind a serial device server: "Netzwerk" and its address.
  windowLayout.controls.push_back(
      rect(ControlKind::RadioButton, kNetworkId, texts::kNetworkAddress, 4, kNetworkRow, kNetworkWidth, kRadioHeight)
          .tabbed()
          .tip(std::string(texts::kAddressTip)));
  windowLayout.controls.push_back(rect(ControlKind::Edit, kAddressId, "", 6 + kNetworkWidth, kNetworkRow - 1,
                                       kGroupWidth - kNetworkWidth - 6, kRadioHeight + 2)
                                      .bordered()
                                      .tabbed()
                                      .scrolling()
                                      .windows1252()
                                      .limit(kAddressChars)
                                      .tip(std::string(texts::kAddressTip)));
  windowLayout.controls.push_back(rect(ControlKind::Button, kOkId, texts::kOk, 2, kButtonRow, 38, 11).tabbed());
  windowLayout.controls.push_back(
      rect(ControlKind::Button, kCancelId, texts::kCancel, 43, kButtonRow, 38, 11).tabbed());
  // Enter is OK; Escape and the window's close button are CANCEL.
  windowLayout.enterCommand = kOkId;
  windowLayout.escapeCommand = kCancelId;
  windowLayout.closeCommand = kCancelId;
  return windowLayout;
}

void PortDialog::mark(int port, window::ControlTable& controls) {
  for (int id = kFirstPortId; id <= kLastPortId; ++id) controls.setChecked(id, id == idOf(port));
  controls.setChecked(kNetworkId, kNetworkId == idOf(port));
}

void PortDialog::onInit(window::ControlTable& controls) {
  mark(shell_.selectedPort, controls);
  controls.setText(kAddressId, platform::utf8ToCp1252(shell_.ports.entry(link::PortTable::kNetworkIndex).name).bytes);
}

void PortDialog::onEdited(int id, window::ControlTable& controls) {
  if (id == kAddressId) onCommand(kNetworkId, controls);
}

int PortDialog::focusId() const { return idOf(shell_.selectedPort); }

int PortDialog::onArrow(int id, window::Arrow arrow, window::ControlTable& controls) {
  const std::optional<int> port = portOf(id);
  if (!port) return id;
  // The ports stand in two columns, COM 1 and COM 2 in the first row; "Netzwerk" is
  // the row below them, under COM 11.
  constexpr int kNetwork = link::PortTable::kNetworkIndex;
  const int column = *port % 2;
  int next = *port;
  switch (arrow) {
    case window::Arrow::Up: next = *port == kNetwork ? kNetwork - 2 : *port - 2; break;
    case window::Arrow::Down: next = std::min(*port + 2, kNetwork); break;
    case window::Arrow::Left: next = column == 1 ? *port - 1 : *port; break;
    case window::Arrow::Right: next = column == 0 && *port + 1 < kNetwork ? *port + 1 : *port; break;
  }
  if (next < 0 || next > kNetwork) next = *port;
  onCommand(idOf(next), controls);
  return idOf(next);
}

bool PortDialog::acceptAddress(window::ControlTable& controls) {
  if (shell_.selectedPort != link::PortTable::kNetworkIndex) return true;
  const std::string address = typedAddress(controls);
  if (platform::parseNetworkAddress(address).address) {
    shell_.ports.setNetworkAddress(address);
    return true;
  }
  if (host_) {
    host_->messageBox(transfer::texts::addressProblem(address), texts::kPortCaption, window::Icon::Error);
    host_->setFocus(kAddressId, true);
  }
  return false;
}

std::optional<int> PortDialog::onCommand(int id, window::ControlTable& controls) {
  if (const std::optional<int> port = portOf(id)) {
    shell_.selectedPort = *port;
    mark(shell_.selectedPort, controls);
    return std::nullopt;
  }
  if (id == kOkId) return acceptAddress(controls) ? std::optional<int>(1) : std::nullopt;
  if (id == kCancelId) return 0;
  return std::nullopt;
}

}  // namespace trv810::app
