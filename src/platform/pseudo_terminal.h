#pragma once
// A pseudo-terminal pair for standing in for a serial line: this object holds the
// master side, and the slave's path can be opened like a serial device. Bytes written
// to the master arrive at the slave and the other way round.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace trv810::platform {

class PseudoTerminal {
 public:
  /// A new pair, or nothing when the system has no pseudo-terminal to give.
  static std::optional<PseudoTerminal> create();
  ~PseudoTerminal();
  PseudoTerminal(PseudoTerminal&& other) noexcept;
  PseudoTerminal& operator=(PseudoTerminal&&) = delete;

  /// The slave's path, e.g. /dev/pts/7.
  const std::string& slavePath() const { return slavePath_; }
  /// The master's descriptor (non-blocking), for poll() and read().
  int masterDescriptor() const { return master_; }
  /// Writes all bytes to the master, waiting while the pair's buffer is full. False on
  /// failure (for example when the master was closed) or when it stays full for 1 s.
  bool write(const uint8_t* bytes, std::size_t count);
  /// Reads what has arrived from the slave side, at most `size` bytes, without waiting;
  /// -1 when nothing has (or the slave is not open).
  long read(uint8_t* buffer, std::size_t size);
  /// Closes the master: the slave side hangs up.
  void closeMaster();

 private:
  PseudoTerminal(int master, std::string slavePath);
  int master_ = -1;
  std::string slavePath_;
};

}  // namespace trv810::platform
