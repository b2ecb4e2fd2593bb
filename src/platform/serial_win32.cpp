// The serial device on Windows: a COM port opened with CreateFileW for overlapped I/O.
//
// One read of up to 256 bytes is kept pending at a time. waitReadable() starts it and
// waits for its completion event together with the stop event, so a stop ends the
// wait at once; readAvailable() collects a completed read without waiting. The port's
// time-outs make a read complete once the line has been quiet for a millisecond
// after at least one byte, so a frame reaches the decoder in few reads. A write is
// overlapped too and waited for together with the stop event; a stop or the caller's
// time-out cancels it. The line settings and time-outs found at opening are put back
// at closing.

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/serial_win32.h"
#include "platform/win32.h"

namespace trv810::platform {
namespace {

constexpr DWORD kReadSize = 256;
constexpr DWORD kQueueSize = 1024;

// A manual-reset event for an OVERLAPPED record.
HANDLE newIoEvent() { return ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }

DWORD waitMs(Millis timeout) { return timeout.count() < 0 ? INFINITE : static_cast<DWORD>(timeout.count()); }

// What a port was set to before it was configured, to be put back at closing.
struct LineSettings {
  std::optional<DCB> state;
  std::optional<COMMTIMEOUTS> timeouts;
};

class Win32SerialDevice final : public SerialDevice {
 public:
  Win32SerialDevice(HANDLE port, const LineSettings& before) : port_(port), before_(before) {
    read_.hEvent = newIoEvent();
    write_.hEvent = newIoEvent();
  }
  ~Win32SerialDevice() override {
    close();
    ::CloseHandle(read_.hEvent);
    ::CloseHandle(write_.hEvent);
  }

  ReadResult readAvailable(uint8_t* buffer, std::size_t size) override {
    if (port_ == INVALID_HANDLE_VALUE) return {ReadStatus::Gone, 0, EBADF};
    if (!pending_ && held_ == 0) {
      if (const auto failed = startRead()) return *failed;
    }
    if (pending_) {
      DWORD got = 0;
      if (!::GetOverlappedResult(port_, &read_, &got, FALSE)) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_IO_INCOMPLETE) return {ReadStatus::Nothing, 0, 0};
        pending_ = false;
        return {ReadStatus::Gone, 0, win32::errnoOf(error)};
      }
      pending_ = false;
      held_ = got;
      taken_ = 0;
    }
    if (held_ == 0) return {ReadStatus::Nothing, 0, 0};
    const std::size_t n = std::min<std::size_t>(size, held_ - taken_);
    std::memcpy(buffer, buffer_ + taken_, n);
    taken_ += static_cast<DWORD>(n);
    if (taken_ == held_) held_ = taken_ = 0;
    return {ReadStatus::Data, n, 0};
  }

  WaitOutcome waitReadable(const Event& stop, Millis timeout) override {
    if (stop.isSet()) return WaitOutcome::Second;
    if (port_ == INVALID_HANDLE_VALUE || held_ > 0) return WaitOutcome::First;
    if (!pending_) {
      // A read that completes or fails at once is collected by readAvailable().
      if (startRead() || !pending_) return WaitOutcome::First;
    }
    HANDLE both[2] = {stop.native(), read_.hEvent};
    switch (::WaitForMultipleObjects(2, both, FALSE, waitMs(timeout))) {
      case WAIT_OBJECT_0: return WaitOutcome::Second;
      case WAIT_OBJECT_0 + 1: return WaitOutcome::First;
      case WAIT_TIMEOUT: return WaitOutcome::TimedOut;
      default: return WaitOutcome::First;  // readAvailable() reports the failure
    }
  }

  WriteStatus write(const uint8_t* bytes, std::size_t count, const Event& stop, Millis timeout) override {
    if (port_ == INVALID_HANDLE_VALUE) return WriteStatus::Failed;
    if (stop.isSet()) return WriteStatus::Stopped;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (count > 0) {
      ::ResetEvent(write_.hEvent);
      write_.Offset = write_.OffsetHigh = 0;
      DWORD done = 0;
      const DWORD chunk = count > 65536 ? 65536 : static_cast<DWORD>(count);
      if (!::WriteFile(port_, bytes, chunk, &done, &write_)) {
        if (::GetLastError() != ERROR_IO_PENDING) return WriteStatus::Failed;
        const auto left = std::chrono::ceil<Millis>(deadline - std::chrono::steady_clock::now());
        HANDLE both[2] = {stop.native(), write_.hEvent};
        const DWORD woke = ::WaitForMultipleObjects(2, both, FALSE, left.count() > 0 ? waitMs(left) : 0);
        if (woke != WAIT_OBJECT_0 + 1) {
          ::CancelIoEx(port_, &write_);
          ::GetOverlappedResult(port_, &write_, &done, TRUE);
          if (woke == WAIT_OBJECT_0) return WriteStatus::Stopped;
          return woke == WAIT_TIMEOUT ? WriteStatus::TimedOut : WriteStatus::Failed;
        }
        if (!::GetOverlappedResult(port_, &write_, &done, FALSE)) return WriteStatus::Failed;
      }
      if (done == 0) return WriteStatus::Failed;
      bytes += done;
      count -= done;
    }
    return WriteStatus::Written;
  }

  void close() override {
    if (port_ == INVALID_HANDLE_VALUE) return;
    if (pending_) {
      // The read's buffer and record must outlive it: cancel it and wait for the end.
      DWORD got = 0;
      ::CancelIoEx(port_, &read_);
      ::GetOverlappedResult(port_, &read_, &got, TRUE);
      pending_ = false;
    }
    if (before_.state) ::SetCommState(port_, &*before_.state);
    if (before_.timeouts) ::SetCommTimeouts(port_, &*before_.timeouts);
    ::CloseHandle(port_);
    port_ = INVALID_HANDLE_VALUE;
  }

 private:
  // Starts a read into buffer_. Returns a result only when the device failed.
  std::optional<ReadResult> startRead() {
    ::ResetEvent(read_.hEvent);
    read_.Offset = read_.OffsetHigh = 0;
    DWORD got = 0;
    if (::ReadFile(port_, buffer_, kReadSize, &got, &read_)) {
      held_ = got;
      taken_ = 0;
      return std::nullopt;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_IO_PENDING) {
      pending_ = true;
      return std::nullopt;
    }
    return ReadResult{ReadStatus::Gone, 0, win32::errnoOf(error)};
  }

  HANDLE port_;
  LineSettings before_;
  OVERLAPPED read_{};
  OVERLAPPED write_{};
  bool pending_ = false;   // a read into buffer_ is under way
  uint8_t buffer_[kReadSize]{};
  DWORD held_ = 0;         // bytes of a completed read in buffer_
  DWORD taken_ = 0;        // of them, handed out already
};

// Only a serial port has a line state to read: a file, NUL or a pipe has none, and is
// refused before anything is written to it.
bool isSerialPort(HANDLE port) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  return ::GetFileType(port) == FILE_TYPE_CHAR && ::GetCommState(port, &dcb);
}

// 19200 baud, 8N1, raw bytes, no flow control of any kind, DTR and RTS inactive; the
// driver's queues at 1 KiB each; what waited in them is discarded. Every result is
// ignored: a port that refuses a setting still carries bytes, and the transfer's own
// time-outs tell when it does not. Returns the settings the port had.
LineSettings configureLine(HANDLE port) {
  LineSettings before;
  ::SetCommMask(port, EV_RXCHAR);
  ::SetupComm(port, kQueueSize, kQueueSize);
  ::PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
  if (COMMTIMEOUTS old{}; ::GetCommTimeouts(port, &old)) before.timeouts = old;
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = 1;  // complete a read 1 ms after the line went quiet
  ::SetCommTimeouts(port, &timeouts);
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (::GetCommState(port, &dcb)) {
    before.state = dcb;
    dcb.BaudRate = CBR_19200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    ::SetCommState(port, &dcb);
  }
  return before;
}

class Win32SerialDeviceOpener final : public SerialDeviceOpener {
 public:
  Result open(const std::string& path) override {
    // Share mode 0: Windows opens a COM port for one program at a time.
    HANDLE port = ::CreateFileW(win32::widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
      const DWORD error = ::GetLastError();
      // Access to a file or folder is denied for reasons of its own; only a port's
      // denial (a path in the device namespace, \\.\COMn) means that another program holds it.
      if (error == ERROR_ACCESS_DENIED && path.rfind("\\\\.\\", 0) != 0 &&
          ::GetFileAttributesW(win32::widen(path).c_str()) != INVALID_FILE_ATTRIBUTES) {
        Result refused;
        refused.error = DeviceOpenError::NotSerial;
        return refused;
      }
      return serialOpenFailure(error);
    }
    if (!isSerialPort(port)) {
      ::CloseHandle(port);
      Result refused;
      refused.error = DeviceOpenError::NotSerial;
      return refused;
    }
    const LineSettings before = configureLine(port);
    Result r;
    r.device = std::make_unique<Win32SerialDevice>(port, before);
    return r;
  }
};

}  // namespace

SerialDeviceOpener::Result serialOpenFailure(uint32_t error) {
  SerialDeviceOpener::Result r;
  r.errorNumber = win32::errnoOf(error);
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_DEVICE_NOT_CONNECTED:
      r.error = DeviceOpenError::Missing;
      break;
    // A COM port held by another program refuses the next CreateFile with access
    // denied, not with a sharing violation; so on a port, that is what it means.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
      r.error = DeviceOpenError::InUse;
      r.errorNumber = EBUSY;
      break;
    case ERROR_PRIVILEGE_NOT_HELD:
    case ERROR_ACCESS_DISABLED_BY_POLICY:
      r.error = DeviceOpenError::PermissionDenied;
      break;
    default:
      r.error = DeviceOpenError::Other;
      break;
  }
  return r;
}

std::unique_ptr<SerialDeviceOpener> makeSerialDeviceOpener() { return std::make_unique<Win32SerialDeviceOpener>(); }

}  // namespace trv810::platform
