#pragma once
// The serial device as the link sees it: a byte stream opened exclusively at
// 19200 8N1, raw, without flow control, that can be read without waiting, waited on
// together with an event, written with a time-out, and closed. One implementation per
// platform (serial_posix.cpp for termios); tests may put their own behind the opener.
// A unit behind a serial device server is reached through the same interface: a
// network address as the port (network_device.h) gives a TCP connection, raw or with
// Telnet's COM-port option, that the link cannot tell from a serial device.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/event.h"

namespace trv810::platform {

/// Why a device could not be opened. NotSerial: the path leads to something that is
/// not a serial port (a regular file, /dev/null, a folder): it is refused before
/// anything is written to it. The rest are a network address's (network_device.h):
/// BadAddress (malformed), UnknownHost (the name does not resolve), Refused (nobody
/// listens there), Unreachable (no connection within the time limit, or no route),
/// ClosedAtOnce (the server accepted and closed again), NotRfc2217 (no COM-port option,
/// or no answer to the negotiation), LineRefused (other line settings acknowledged),
/// TelnetGarbage, TelnetEndless (the Telnet peer's input made no sense or no end).
enum class DeviceOpenError {
  None, Missing, PermissionDenied, InUse, NotSerial, Other,
  BadAddress, UnknownHost, Refused, Unreachable, ClosedAtOnce, NotRfc2217, LineRefused, TelnetGarbage, TelnetEndless
};

class SerialDevice {
 public:
  virtual ~SerialDevice() = default;

  enum class ReadStatus { Data, Nothing, Gone };
  struct ReadResult {
    ReadStatus status = ReadStatus::Nothing;
    std::size_t count = 0;  ///< bytes read, for Data
    int error = 0;          ///< errno, for Gone (0 when the device reported end of file)
  };
  /// Reads what has arrived, at most `size` bytes, without waiting. Gone: the device
  /// failed or hung up (for example a pseudo-terminal whose far side closed).
  virtual ReadResult readAvailable(uint8_t* buffer, std::size_t size) = 0;

  /// Waits until the device is readable (or hung up or failed) or `stop` is set, at
  /// most `timeout`. First: the device; Second: the event; the event is not consumed.
  virtual WaitOutcome waitReadable(const Event& stop, Millis timeout) = 0;

  enum class WriteStatus { Written, Stopped, TimedOut, Failed };
  /// Writes all `count` bytes. Returns when they are handed to the driver, when `stop`
  /// is set (at once), or when `timeout` has passed.
  virtual WriteStatus write(const uint8_t* bytes, std::size_t count, const Event& stop,
                            Millis timeout) = 0;

  /// Closes the device; later calls fail. Safe to call twice.
  virtual void close() = 0;
};

class SerialDeviceOpener {
 public:
  virtual ~SerialDeviceOpener() = default;

  struct Result {
    std::unique_ptr<SerialDevice> device;  ///< set on success
    DeviceOpenError error = DeviceOpenError::None;
    int errorNumber = 0;  ///< errno of the failed call
    std::string group;    ///< for PermissionDenied: the group owning the device, if known
    std::string note;     ///< for ClosedAtOnce: what the server said before it closed
  };
  /// Opens `path` exclusively, configures the line and discards what waited in the
  /// driver's queues. A path that is not a serial device, one that does not take the
  /// line settings, fails with NotSerial before anything is written. Failures of the
  /// modem lines and the low-latency request are ignored.
  virtual Result open(const std::string& path) = 0;
};

/// The device that entry `index` (0 for COM1) of the port table stands for on this
/// platform unless the environment says otherwise: /dev/ttyS0-3, /dev/ttyUSB0-3 and
/// /dev/ttyACM0-3 on Linux, \\.\COM1 to \\.\COM12 on Windows.
std::string defaultPortDevice(int index);

/// The device a port name outside the table's twelve stands for, or "" when it names
/// none: a device path (with a slash; on Windows also \\.\COMn), and on Windows
/// COMn beyond 12.
std::string portDeviceFor(const std::string& name);

/// The opener of this platform's serial devices.
std::unique_ptr<SerialDeviceOpener> makeSerialDeviceOpener();

/// The opener the link uses: a network address (socket://, tcp://, rfc2217://) is
/// connected to, anything else is opened as a serial device.
std::unique_ptr<SerialDeviceOpener> makeDeviceOpener();

/// A serial device present on this machine, and what is behind it as far as the system
/// tells (fields it does not tell stay empty).
struct SerialDeviceInfo {
  std::string path;                 ///< e.g. /dev/ttyUSB0
  std::vector<std::string> byId;    ///< /dev/serial/by-id names that point to it
  std::string vendor;               ///< USB adapter: its maker's name, e.g. "FTDI"
  std::string product;              ///< USB adapter: its product name, e.g. "FT232R USB UART"
  std::string serialNumber;         ///< USB adapter: its serial number
  std::string usbId;                ///< USB adapter: vendor and product id, e.g. "0403:6001"
  std::string driver;               ///< the driver serving it, e.g. "ftdi_sio", "cdc_acm"
};
/// Whether a device path leads to a port.
enum class DevicePresence { Present, Missing, NoPortBehind, NetworkAddress };
/// Missing: no such node; NoPortBehind: a node the system keeps without hardware
/// (a /dev/ttyS* without a UART).
DevicePresence devicePresence(const std::string& path);
/// devicePresence(), or NetworkAddress for an address (socket://, rfc2217://), which
/// is only found out by connecting.
DevicePresence portPresence(const std::string& path);

/// The serial devices present: /dev/ttyS* with a port behind them, /dev/ttyUSB*,
/// /dev/ttyACM*, sorted by path.
std::vector<SerialDeviceInfo> listSerialDevices();

/// The device of `devices` that `path` leads to: the same path, one of its by-id
/// names, or another name of the same device node. Null when none does.
const SerialDeviceInfo* findSerialDevice(const std::vector<SerialDeviceInfo>& devices,
                                         const std::string& path);

}  // namespace trv810::platform
