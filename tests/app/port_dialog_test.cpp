#include "app/port_dialog.h"

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "fakes.h"
#include "support/linux_ports.h"

namespace trv810::app {
namespace {

using window::CellSize;
using window::ControlKind;
using window::Rect;

struct PortDialogTest : ::testing::Test {
  ShellState shell{tests::linuxPortTable()};
  window::MemoryControlTable menu;
  test::RecordingHost host;
  test::ScriptedShellHost shellHost;
  MainWindow window{shell, menu, host, shellHost, [] {}};

  void choosePort(std::vector<int> clicks) {
    host.clicks = std::move(clicks);
    window.onCommand(kCommandPort, false);
  }
};

constexpr int kCom5 = PortDialog::kFirstPortId + 4;

TEST_F(PortDialogTest, FreshStartMarksCom1Only) {
  choosePort({PortDialog::kCancelId});
  EXPECT_EQ(host.markedAtStart, (std::vector<int>{103}));
  EXPECT_EQ(shell.selectedEntry().name, "COM1");
}

TEST_F(PortDialogTest, CancelRestoresTheRememberedPort) {
  choosePort({kCom5, PortDialog::kCancelId});
  EXPECT_EQ(shell.selectedPort, 0);
  choosePort({PortDialog::kFirstPortId + 2, PortDialog::kOkId});
  choosePort({kCom5, PortDialog::kFirstPortId + 11, PortDialog::kCancelId});
  EXPECT_EQ(shell.selectedPort, 2);
  EXPECT_EQ(host.markedAtStart, (std::vector<int>{105}));
}

TEST_F(PortDialogTest, OkKeepsTheLastClick) {
  choosePort({PortDialog::kFirstPortId + 9, kCom5, PortDialog::kOkId});
  EXPECT_EQ(shell.selectedPort, 4);
  EXPECT_EQ(shell.selectedEntry().name, "COM5");
  EXPECT_FALSE(host.controls.checked(PortDialog::kFirstPortId + 9));
  EXPECT_TRUE(host.controls.checked(kCom5));
}

TEST_F(PortDialogTest, OnlyOkAndCancelEndTheDialog) {
  PortDialog dialog(shell);
  window::MemoryControlTable controls;
  dialog.onInit(controls);
  for (int id : {1, 2, 102, 117, 114, 103, 119, 0xFF}) EXPECT_FALSE(dialog.onCommand(id, controls)) << id;
  EXPECT_EQ(dialog.onCommand(115, controls), 1);
  EXPECT_EQ(dialog.onCommand(116, controls), 0);
}

TEST_F(PortDialogTest, DialogThatCannotBeShownKeepsThePort) {
  shell.selectedPort = 6;
  choosePort({kCom5});  // never ended: the host reports 0
  EXPECT_EQ(shell.selectedPort, 6);
}

// The dialog could not be used from the keyboard and did not tell which devices exist.
TEST(PortDialogKeys, StartsOnTheSelectedPortArrowsMoveAndSelectEnterAndEscapeEndIt) {
  ShellState shell{tests::linuxPortTable()};
  shell.selectedPort = 4;
  PortDialog dialog(shell);
  window::MemoryControlTable controls;
  dialog.onInit(controls);
  EXPECT_EQ(dialog.focusId(), kCom5);
  using window::Arrow;
  EXPECT_EQ(dialog.onArrow(kCom5, Arrow::Right, controls), kCom5 + 1);  // COM 6 beside it
  EXPECT_EQ(shell.selectedPort, 5);
  EXPECT_TRUE(controls.checked(kCom5 + 1));
  EXPECT_FALSE(controls.checked(kCom5));
  EXPECT_EQ(dialog.onArrow(kCom5 + 1, Arrow::Right, controls), kCom5 + 1);  // the edge
  EXPECT_EQ(dialog.onArrow(kCom5 + 1, Arrow::Down, controls), kCom5 + 3);
  EXPECT_EQ(dialog.onArrow(kCom5 + 3, Arrow::Left, controls), kCom5 + 2);
  EXPECT_EQ(dialog.onArrow(PortDialog::kFirstPortId, Arrow::Up, controls), PortDialog::kFirstPortId);
  EXPECT_EQ(dialog.onArrow(PortDialog::kLastPortId, Arrow::Left, controls), PortDialog::kLastPortId - 1);
  EXPECT_EQ(shell.selectedPort, 10);
  EXPECT_EQ(dialog.onArrow(PortDialog::kOkId, Arrow::Left, controls), PortDialog::kOkId);  // not a port

  link::PortTable ports = tests::linuxPortTable();
  ports.setDevice(0, "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
  platform::SerialDeviceInfo other;  // a device is present, but none of these ports
  other.path = "/dev/ttyACM7";
  const auto windowLayout = PortDialog::layout(CellSize{8, 16}, ports, {other}, [](const std::string& device) {
    return device == "/dev/ttyS0" ? platform::DevicePresence::NoPortBehind
           : device.find("FTDI") != std::string::npos ? platform::DevicePresence::Present
                                                      : platform::DevicePresence::Missing;
  });
  EXPECT_EQ(windowLayout.enterCommand, PortDialog::kOkId);
  EXPECT_EQ(windowLayout.escapeCommand, PortDialog::kCancelId);
  EXPECT_EQ(windowLayout.closeCommand, PortDialog::kCancelId);
  // Beside each port its device and whether it is there; the whole path as tool tip.
  auto after = [&](int id, std::size_t n) {
    for (std::size_t i = 0; i + n < windowLayout.controls.size(); ++i)
      if (windowLayout.controls[i].id == id) return windowLayout.controls[i + n];
    return window::ControlSpec{};
  };
  EXPECT_EQ(after(103, 2).text, "vorhanden");
  EXPECT_EQ(after(103, 0).toolTip, "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0 (vorhanden)");
  EXPECT_EQ(after(103, 1).toolTip, after(103, 0).toolTip);
  EXPECT_EQ(after(104, 2).text, "fehlt");
  EXPECT_EQ(after(104, 0).toolTip, "/dev/ttyS1 (fehlt)");
  EXPECT_EQ(after(107, 2).text, "fehlt");
  const auto first = *window::findControl(windowLayout.controls, 103);
  EXPECT_TRUE(first.tabStop);
  // The presence words stay inside the group box and clear of the next column.
  const Rect group = windowLayout.controls[0].rect();
  EXPECT_LE(after(104, 2).x + after(104, 2).w, group.x + group.w);
  EXPECT_LT(after(103, 2).x + after(103, 2).w, window::findControl(windowLayout.controls, 104)->x);
}

// A unit behind a serial device server is chosen by its address. An address that
// does not parse must not pass OK silently (the link would only fail later, with the
// port named by text nobody sees), and the address chosen is the port's name in every
// message.
TEST(PortDialogNetwork, TypingSelectsItOkRefusesABadAddressAndTheAddressNamesThePort) {
  ShellState shell{tests::linuxPortTable()};
  shell.selectedPort = 10;
  test::RecordingHost host;
  PortDialog dialog(shell);
  window::MemoryControlTable controls;
  dialog.attachHost(host);
  dialog.onInit(controls);
  EXPECT_EQ(controls.text(PortDialog::kAddressId), "");
  EXPECT_EQ(dialog.onArrow(PortDialog::kFirstPortId + 10, window::Arrow::Down, controls), PortDialog::kNetworkId);
  EXPECT_EQ(dialog.onArrow(PortDialog::kNetworkId, window::Arrow::Right, controls), PortDialog::kNetworkId);
  EXPECT_EQ(dialog.onArrow(PortDialog::kNetworkId, window::Arrow::Up, controls), PortDialog::kFirstPortId + 10);
  EXPECT_EQ(dialog.onArrow(PortDialog::kLastPortId, window::Arrow::Down, controls), PortDialog::kNetworkId);
  dialog.onCommand(PortDialog::kFirstPortId, controls);

  const std::vector<std::pair<std::string, std::string>> refused{
      {"", "Die Adresse fehlt: möglich sind socket://HOST:PORT, tcp://HOST:PORT und rfc2217://HOST:PORT."},
      {"socket://mast-3", "Die Portnummer fehlt in der Adresse socket://mast-3 (HOST:PORT; eine IPv6-Adresse in "
                          "eckigen Klammern: [::1]:4001)."},
      {"rfc2217://mast-3:65536", "Die Portnummer 65536 in der Adresse rfc2217://mast-3:65536 liegt nicht zwischen 1 "
                                 "und 65535."},
      {"10.0.0.5:4001", "10.0.0.5:4001 ist keine bekannte Adressart: möglich sind socket://HOST:PORT, "
                        "tcp://HOST:PORT und rfc2217://HOST:PORT."}};
  for (const auto& [typed, told] : refused) {
    controls.setText(PortDialog::kAddressId, typed);
    dialog.onEdited(PortDialog::kAddressId, controls);  // typing selects "Netzwerk"
    EXPECT_TRUE(controls.checked(PortDialog::kNetworkId)) << typed;
    EXPECT_FALSE(controls.checked(PortDialog::kFirstPortId)) << typed;
    host.focused = -1;
    EXPECT_EQ(dialog.onCommand(PortDialog::kOkId, controls), std::nullopt) << typed;
    ASSERT_FALSE(host.boxes.empty());
    EXPECT_EQ(host.boxes.back().text, told);
    EXPECT_EQ(host.boxes.back().icon, window::Icon::Error);
    EXPECT_EQ(host.focused, PortDialog::kAddressId);
    EXPECT_TRUE(host.focusSelectsText);
  }
  EXPECT_EQ(host.boxes.size(), refused.size());

  // Blanks around a pasted address go; the address becomes the port's name and device.
  controls.setText(PortDialog::kAddressId, " rfc2217://mast-3:4001 ");
  EXPECT_EQ(dialog.onCommand(PortDialog::kOkId, controls), 1);
  EXPECT_EQ(host.boxes.size(), refused.size());
  EXPECT_EQ(shell.selectedPort, link::PortTable::kNetworkIndex);
  EXPECT_EQ(shell.selectedEntry().name, "rfc2217://mast-3:4001");
  EXPECT_EQ(shell.selectedEntry().device, "rfc2217://mast-3:4001");

  // A COM port chosen by OK leaves the address alone; the next dialog shows it.
  dialog.onCommand(PortDialog::kFirstPortId + 2, controls);
  controls.setText(PortDialog::kAddressId, "socket://other");
  EXPECT_EQ(dialog.onCommand(PortDialog::kOkId, controls), 1);
  EXPECT_EQ(shell.ports.entry(link::PortTable::kNetworkIndex).name, "rfc2217://mast-3:4001");
  shell.selectedPort = link::PortTable::kNetworkIndex;
  dialog.onInit(controls);
  EXPECT_EQ(controls.text(PortDialog::kAddressId), "rfc2217://mast-3:4001");
  EXPECT_EQ(dialog.focusId(), PortDialog::kNetworkId);
  EXPECT_TRUE(controls.checked(PortDialog::kNetworkId));
}

TEST(PortDialogLayout, ControlsInDialogUnitsOfTheCell) {
  link::PortTable ports = tests::linuxPortTable();
  ports.setDevice(0, "/dev/pts/7");
  ports.setDevice(1, "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0");
  const window::WindowSpec windowLayout = PortDialog::layout(CellSize{8, 16}, ports, {});
  EXPECT_EQ(windowLayout.title, "Com-Port ?");
  EXPECT_TRUE(windowLayout.clientSize);
  EXPECT_EQ(windowLayout.frame.x, 120);
  EXPECT_EQ(windowLayout.frame.y, 80);
  EXPECT_EQ(windowLayout.frame.h, 296);

  for (int i = 0; i < 12; ++i) {
    auto radio = window::findControl(windowLayout.controls, 103 + i);
    ASSERT_TRUE(radio);
    EXPECT_EQ(radio->kind, ControlKind::RadioButton);
    EXPECT_EQ(radio->text, "COM " + std::to_string(i + 1));
    EXPECT_EQ(radio->y, (12 + 16 * (i / 2)) * 2);
    EXPECT_EQ(radio->w, 70);
    EXPECT_EQ(radio->h, 22);
  }
  EXPECT_EQ(window::findControl(windowLayout.controls, 103)->x, 8);
  EXPECT_EQ(window::findControl(windowLayout.controls, 115)->rect(), (Rect{4, 252, 76, 22}));
  EXPECT_EQ(window::findControl(windowLayout.controls, 116)->rect(), (Rect{86, 252, 76, 22}));
  EXPECT_EQ(window::findControl(windowLayout.controls, 116)->text, "CANCEL");
  EXPECT_TRUE(window::findControl(windowLayout.controls, 115)->tabStop);

  // The label right after each radio button names its device.
  auto labelAfter = [&](int id) {
    for (std::size_t i = 0; i + 1 < windowLayout.controls.size(); ++i)
      if (windowLayout.controls[i].id == id) return windowLayout.controls[i + 1];
    return window::ControlSpec{};
  };
  EXPECT_EQ(labelAfter(103).text, "pts/7");
  EXPECT_EQ(labelAfter(104).text, "serial/by…");
  EXPECT_EQ(labelAfter(107).text, "ttyUSB0");
  // Labels stay inside the group box, columns do not overlap.
  const Rect group = windowLayout.controls[0].rect();
  EXPECT_LE(labelAfter(104).x + labelAfter(104).w, group.x + group.w);
  EXPECT_LT(labelAfter(103).x + labelAfter(103).w, window::findControl(windowLayout.controls, 104)->x);
  EXPECT_LE(group.x + group.w, windowLayout.frame.w);
  // "Netzwerk" and its address on a row of their own below the ports, in the group box.
  const auto network = *window::findControl(windowLayout.controls, PortDialog::kNetworkId);
  const auto address = *window::findControl(windowLayout.controls, PortDialog::kAddressId);
  EXPECT_EQ(network.kind, ControlKind::RadioButton);
  EXPECT_EQ(network.text, "Netzwerk");
  EXPECT_EQ(address.kind, ControlKind::Edit);
  EXPECT_TRUE(address.horizontalScroll);
  EXPECT_GT(network.y, window::findControl(windowLayout.controls, 114)->y + 22);
  EXPECT_LT(network.x + network.w, address.x);
  EXPECT_LE(address.x + address.w, group.x + group.w);
  EXPECT_LE(address.y + address.h, group.y + group.h);
}

TEST(PortDialogLayout, ToolTipsSayWhatIsBehindEachDevice) {
  platform::SerialDeviceInfo ftdi;
  ftdi.path = "/dev/ttyUSB0";
  const std::string byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
  ftdi.byId = {byId};
  ftdi.vendor = "FTDI";
  ftdi.product = "FT232R USB UART";
  ftdi.serialNumber = "A50285BI";
  ftdi.usbId = "0403:6001";
  ftdi.driver = "ftdi_sio";
  platform::SerialDeviceInfo uart;
  uart.path = "/dev/ttyS0";
  uart.driver = "serial";
  link::PortTable ports = tests::linuxPortTable();
  ports.setDevice(1, byId);

  auto tips = [&](const std::vector<platform::SerialDeviceInfo>& present, int id) {
    const window::WindowSpec windowLayout = PortDialog::layout(
        CellSize{8, 16}, ports, present, [](const std::string&) { return platform::DevicePresence::Present; });
    for (std::size_t i = 0; i + 1 < windowLayout.controls.size(); ++i)
      if (windowLayout.controls[i].id == id) {
        EXPECT_EQ(windowLayout.controls[i].toolTip, windowLayout.controls[i + 1].toolTip) << "radio and label";
        return windowLayout.controls[i].toolTip;
      }
    return std::string();
  };
  const std::string adapter =
      "\nUSB-Adapter: FTDI FT232R USB UART (0403:6001)\nSeriennummer: A50285BI\nTreiber: ftdi_sio"
      "\nFester Name: " + byId;
  EXPECT_EQ(tips({uart, ftdi}, 107), "/dev/ttyUSB0 (vorhanden)" + adapter);
  EXPECT_EQ(tips({uart, ftdi}, 104), byId + " (vorhanden)" + adapter);  // found by its stable name
  EXPECT_EQ(tips({uart, ftdi}, 103), "/dev/ttyS0 (vorhanden)\nTreiber: serial");
  EXPECT_EQ(tips({uart, ftdi}, 105), "/dev/ttyS2 (vorhanden)");  // not in the listing: nothing more
  EXPECT_EQ(tips({}, 103), "/dev/ttyS0 (vorhanden)\nAuf diesem Rechner ist kein serielles Gerät vorhanden. "
                           "TRV810_COM<n>=GERÄT lässt COM<n> auf jedes andere Gerät zeigen.");
}

}  // namespace
}  // namespace trv810::app
