#include "platform/serial_ports_posix.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace trv810::platform;
namespace fs = std::filesystem;

namespace {

// A machine laid out under a temporary folder as Linux shows it: an FTDI adapter
// (ttyUSB0, its tty under the usb-serial port of the adapter's interface), an
// Arduino's CDC-ACM port (ttyACM0, its tty on the interface itself), a UART behind the
// serial-port layer of newer kernels (ttyS0), and a ttyS1 node without a UART.
struct Machine {
  trv810::tests::TempDir root;
  fs::path dev = root.path / "dev";
  fs::path sys = root.path / "sys";

  void put(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text << "\n";
  }
  void link(const fs::path& from, const fs::path& to) {
    fs::create_directories(from.parent_path());
    fs::create_directory_symlink(to, from);
  }
  // sys/class/tty/NAME/device pointing at `device`, with the port type.
  void tty(const std::string& name, const fs::path& device, int type) {
    put(dev / name, "");
    fs::create_directories(device);
    link(sys / "class/tty" / name / "device", device);
    put(sys / "class/tty" / name / "type", std::to_string(type));
  }
  void driver(const fs::path& device, const std::string& bus, const std::string& name) {
    fs::create_directories(sys / "bus" / bus / "drivers" / name);
    link(device / "driver", sys / "bus" / bus / "drivers" / name);
    link(device / "subsystem", sys / "bus" / bus);
  }
  void usb(const fs::path& device, const std::string& ids, const std::string& maker, const std::string& product,
           const std::string& serial) {
    put(device / "idVendor", ids.substr(0, 4));
    put(device / "idProduct", ids.substr(5));
    put(device / "manufacturer", maker);
    if (!product.empty()) put(device / "product", product);
    put(device / "serial", serial);
  }

  Machine() {
    const fs::path ftdi = sys / "devices/pci0000:00/usb1/1-2";
    usb(ftdi, "0403:6001", "FTDI", "FT232R USB UART", "A50285BI");
    driver(ftdi / "1-2:1.0", "usb", "ftdi_sio");
    tty("ttyUSB0", ftdi / "1-2:1.0/ttyUSB0", 0);
    driver(ftdi / "1-2:1.0/ttyUSB0", "usb-serial", "ftdi_sio");
    fs::create_directories(dev / "serial/by-id");
    fs::create_symlink("../../ttyUSB0", dev / "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");

    const fs::path arduino = sys / "devices/pci0000:00/usb1/1-3";
    usb(arduino, "2341:0043", "Arduino (www.arduino.cc)", "", "8573531303");
    tty("ttyACM0", arduino / "1-3:1.0", 0);
    driver(arduino / "1-3:1.0", "usb", "cdc_acm");

    const fs::path uart = sys / "devices/pnp0/00:00";
    driver(uart, "pnp", "serial");
    driver(uart / "00:00:0", "serial-base", "ctrl");
    tty("ttyS0", uart / "00:00:0/00:00:0.0", 4);
    driver(uart / "00:00:0/00:00:0.0", "serial-base", "port");
    tty("ttyS1", sys / "devices/platform/serial8250/tty/ttyS1", 0);
    put(dev / "tty0", "");
    put(dev / "ttyUSBx", "");
    fs::create_symlink("ttyACM0", dev / "trv810");
  }
};

TEST(SerialListing, DescribesEachAdapterFromSysfsAndFindsItByAnyName) {
  Machine m;
  const auto devices = listSerialDevicesIn(m.dev, m.sys);
  ASSERT_EQ(devices.size(), 3u);

  EXPECT_EQ(devices[0].path, (m.dev / "ttyS0").string());
  EXPECT_EQ(devices[0].driver, "serial");  // past the generic serial-port layer
  EXPECT_EQ(devices[0].usbId, "");
  EXPECT_TRUE(devices[0].byId.empty());

  const SerialDeviceInfo& ftdi = devices[1];
  EXPECT_EQ(ftdi.path, (m.dev / "ttyUSB0").string());
  EXPECT_EQ(ftdi.vendor, "FTDI");
  EXPECT_EQ(ftdi.product, "FT232R USB UART");
  EXPECT_EQ(ftdi.serialNumber, "A50285BI");
  EXPECT_EQ(ftdi.usbId, "0403:6001");
  EXPECT_EQ(ftdi.driver, "ftdi_sio");
  const std::string byId = (m.dev / "serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0").string();
  EXPECT_EQ(ftdi.byId, std::vector<std::string>{byId});

  const SerialDeviceInfo& acm = devices[2];
  EXPECT_EQ(acm.path, (m.dev / "ttyACM0").string());
  EXPECT_EQ(acm.vendor, "Arduino (www.arduino.cc)");
  EXPECT_EQ(acm.product, "");
  EXPECT_EQ(acm.usbId, "2341:0043");
  EXPECT_EQ(acm.driver, "cdc_acm");

  EXPECT_EQ(findSerialDevice(devices, ftdi.path), &ftdi);
  EXPECT_EQ(findSerialDevice(devices, byId), &ftdi);
  EXPECT_EQ(findSerialDevice(devices, (m.dev / "trv810").string()), &acm);  // a link of its own
  EXPECT_EQ(findSerialDevice(devices, (m.dev / "ttyS1").string()), nullptr);
  EXPECT_EQ(findSerialDevice(devices, "/nonexistent/ttyUSB0"), nullptr);
}

}  // namespace
