// The POSIX serial device on a pseudo-terminal: what closing leaves behind.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <optional>

#include "platform/pseudo_terminal.h"
#include "platform/serial_device.h"

using namespace trv810::platform;

namespace {

// The slave's settings, read through the master (Linux hands a master's termios
// requests to its slave), as the slave is held exclusively while the device is open.
termios settingsOf(const PseudoTerminal& pty) {
  termios t{};
  EXPECT_EQ(::tcgetattr(pty.masterDescriptor(), &t), 0);
  return t;
}

bool sameSettings(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
         ::cfgetispeed(&a) == ::cfgetispeed(&b) && ::cfgetospeed(&a) == ::cfgetospeed(&b) &&
         a.c_cc[VMIN] == b.c_cc[VMIN] && a.c_cc[VTIME] == b.c_cc[VTIME];
}

}  // namespace

// A terminal's device given as the port was left raw at 19200 baud: the settings it
// had at opening now come back at closing.
TEST(SerialPosix, ClosingPutsTheLineSettingsBackAsTheyWereAtOpening) {
  std::optional<PseudoTerminal> pty = PseudoTerminal::create();
  ASSERT_TRUE(pty);
  // A terminal as a shell leaves it: line editing, echo, CR/NL translation, 9600 baud.
  termios cooked{};
  const int fd = ::open(pty->slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::tcgetattr(fd, &cooked), 0);
  cooked.c_lflag |= ICANON | ECHO | ISIG;
  cooked.c_iflag |= ICRNL | IXON;
  cooked.c_oflag |= OPOST | ONLCR;
  ::cfsetispeed(&cooked, B9600);
  ::cfsetospeed(&cooked, B9600);
  ASSERT_EQ(::tcsetattr(fd, TCSANOW, &cooked), 0);
  ASSERT_EQ(::tcgetattr(fd, &cooked), 0);
  ::close(fd);

  SerialDeviceOpener::Result opened = makeSerialDeviceOpener()->open(pty->slavePath());
  ASSERT_TRUE(opened.device);
  const termios raw = settingsOf(*pty);
  EXPECT_EQ(raw.c_lflag & (ICANON | ECHO | ISIG), 0u);
  EXPECT_EQ(::cfgetospeed(&raw), static_cast<speed_t>(B19200));
  opened.device->close();
  EXPECT_TRUE(sameSettings(settingsOf(*pty), cooked));
}
