// The serial device on POSIX systems, through termios.
//
// The device is opened non-blocking, so a read takes what has arrived and a write
// hands over what the driver accepts; waiting is done with poll() on the device and an
// event's descriptor together, which lets a stop interrupt any wait at once. Where the
// driver knows it, the port runs in low-latency mode while it is open. The line
// settings found at opening are put back at closing, so a terminal's device given as
// the port is left as it was, not raw at 19200 baud.

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/low_latency_posix.h"
#include "platform/serial_device.h"

namespace trv810::platform {

int systemSerialInfoCall(int fd, unsigned long request, serial_struct* info) {
  return ::ioctl(fd, request, info);
}

LowLatencyChange requestLowLatency(int fd, SerialInfoCall call) {
  serial_struct info{};
  if (call(fd, TIOCGSERIAL, &info) != 0) return {};  // no such request: a pty, most others
  if ((info.flags & ASYNC_LOW_LATENCY) != 0) return {};
  info.flags |= ASYNC_LOW_LATENCY;
  if (call(fd, TIOCSSERIAL, &info) != 0) return {};
  return {true};
}

void restoreLowLatency(int fd, LowLatencyChange change, SerialInfoCall call) {
  if (!change.applied) return;
  // Read again rather than write the old settings back, so that only our flag moves.
  serial_struct info{};
  if (call(fd, TIOCGSERIAL, &info) != 0) return;
  info.flags &= ~ASYNC_LOW_LATENCY;
  call(fd, TIOCSSERIAL, &info);
}

namespace {

using Clock = std::chrono::steady_clock;

class PosixSerialDevice final : public SerialDevice {
 public:
  PosixSerialDevice(int fd, const termios& before, LowLatencyChange lowLatency)
      : fd_(fd), before_(before), lowLatency_(lowLatency) {}
  ~PosixSerialDevice() override { close(); }

  ReadResult readAvailable(uint8_t* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t n = ::read(fd_, buffer, size);
      if (n > 0) return {ReadStatus::Data, static_cast<std::size_t>(n), 0};
      if (n == 0) return {ReadStatus::Gone, 0, 0};
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return {ReadStatus::Nothing, 0, 0};
      return {ReadStatus::Gone, 0, errno};
    }
  }

  WaitOutcome waitReadable(const Event& stop, Millis timeout) override {
    return waitForDescriptorOrEvent(fd_, POLLIN, stop, timeout);
  }

  WriteStatus write(const uint8_t* bytes, std::size_t count, const Event& stop,
                    Millis timeout) override {
    const auto deadline = Clock::now() + timeout;
    while (count > 0) {
      if (stop.isSet()) return WriteStatus::Stopped;
      const ssize_t n = ::write(fd_, bytes, count);
      if (n > 0) {
        bytes += n;
        count -= static_cast<std::size_t>(n);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return WriteStatus::Failed;
      const auto left = std::chrono::ceil<Millis>(deadline - Clock::now());
      if (left.count() <= 0) return WriteStatus::TimedOut;
      const WaitOutcome w = waitForDescriptorOrEvent(fd_, POLLOUT, stop, left);
      if (w == WaitOutcome::Second) return WriteStatus::Stopped;
      if (w == WaitOutcome::TimedOut) return WriteStatus::TimedOut;
    }
    return WriteStatus::Written;
  }

  void close() override {
    if (fd_ < 0) return;
    restoreLowLatency(fd_, lowLatency_);
    ::tcsetattr(fd_, TCSANOW, &before_);  // a device that went away refuses; nothing to restore then
    // A pseudo-terminal's tty outlives our close while its far side stays open, and
    // would keep refusing others; so give the exclusive mode up explicitly.
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);  // also releases the flock
    fd_ = -1;
  }

 private:
  int fd_;
  termios before_;
  LowLatencyChange lowLatency_;
};

// 19200 baud, 8N1, raw bytes, no flow control of any kind, modem lines DTR and RTS
// inactive. Returns 0, or the errno of the line settings a device did not take: only
// a terminal takes them, so a regular file or /dev/null fails here (ENOTTY). A
// pseudo-terminal takes them and refuses the modem lines, which are ignored, as the
// line still carries the bytes. `before` receives the settings the line had.
int configureLine(int fd, termios& before) {
  if (::tcgetattr(fd, &before) != 0) return errno;
  termios t = before;
  ::cfmakeraw(&t);  // no echo, no line editing, no CR/NL or parity translation
  ::cfsetispeed(&t, B19200);
  ::cfsetospeed(&t, B19200);
  t.c_cflag &= ~(PARENB | CSTOPB | CSIZE | CRTSCTS);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | IGNBRK | BRKINT | PARMRK | ISTRIP);
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (::tcsetattr(fd, TCSANOW, &t) != 0) return errno;
  int lines = TIOCM_DTR | TIOCM_RTS;
  ::ioctl(fd, TIOCMBIC, &lines);
  ::tcflush(fd, TCIOFLUSH);  // what arrived before this open belongs to nobody
  return 0;
}

DeviceOpenError classify(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO:  // a node without a port behind it, e.g. /dev/ttyS3 without a UART
      return DeviceOpenError::Missing;
    case EACCES:
    case EPERM:
      return DeviceOpenError::PermissionDenied;
    case EBUSY:
    case EWOULDBLOCK:
      return DeviceOpenError::InUse;
    default:
      return DeviceOpenError::Other;
  }
}

// The name of the group owning `path`, or "" when it cannot be found.
std::string owningGroup(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) return {};
  group g{};
  group* found = nullptr;
  char buffer[4096];
  if (::getgrgid_r(st.st_gid, &g, buffer, sizeof buffer, &found) != 0 || found == nullptr)
    return {};
  return found->gr_name;
}

SerialDeviceOpener::Result failed(int error, const std::string& path) {
  SerialDeviceOpener::Result r;
  r.error = classify(error);
  r.errorNumber = error;
  if (r.error == DeviceOpenError::PermissionDenied) r.group = owningGroup(path);
  return r;
}

SerialDeviceOpener::Result notSerial(int error) {
  SerialDeviceOpener::Result r;
  r.error = DeviceOpenError::NotSerial;
  r.errorNumber = error;
  return r;
}

class PosixSerialDeviceOpener final : public SerialDeviceOpener {
 public:
  Result open(const std::string& path) override {
    // A serial port is a character device. Anything else (a file named by mistake,
    // a folder, a FIFO) is refused before it is opened: written to, a file would be
    // overwritten by request frames.
    struct stat st{};
    if (::stat(path.c_str(), &st) == 0 && !S_ISCHR(st.st_mode)) return notSerial(0);
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return failed(errno, path);
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {  // replaced since the look above
      ::close(fd);
      return notSerial(0);
    }
    // Two locks, because each misses cases the other catches: TIOCEXCL makes the
    // kernel refuse further opens of the tty, but not to root (CAP_SYS_ADMIN); flock
    // is honoured by root too and by other serial programs that use it, but only by
    // programs that ask for it. Together a second open by this program or another
    // fails in every case we can detect.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno != ENOLCK && errno != EINVAL) {
      const int error = errno;
      ::close(fd);
      return failed(error == EWOULDBLOCK ? EBUSY : error, path);
    }
    ::ioctl(fd, TIOCEXCL);
    // A character device that takes no line settings (/dev/null, /dev/zero) is no port.
    termios before{};
    if (const int error = configureLine(fd, before); error != 0) {
      ::ioctl(fd, TIOCNXCL);
      ::close(fd);
      return notSerial(error);
    }
    const LowLatencyChange lowLatency = requestLowLatency(fd);
    Result r;
    r.device = std::make_unique<PosixSerialDevice>(fd, before, lowLatency);
    return r;
  }
};

}  // namespace

std::unique_ptr<SerialDeviceOpener> makeSerialDeviceOpener() {
  return std::make_unique<PosixSerialDeviceOpener>();
}

}  // namespace trv810::platform
