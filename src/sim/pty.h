#pragma once
// The pseudo-terminal the simulated unit sits on. The host opens and closes the slave
// side for every transfer; the unit keeps the master.
//
// Two OS quirks are handled here:
// - While no process has the slave open, reads on the master fail with EIO and poll()
//   reports POLLHUP at once, which would turn the serve loop into a busy loop. The pty
//   keeps a slave descriptor of its own open all the time, so the master always has a
//   peer and simply waits between the host's transfers.
// - A host may put the tty in exclusive mode (TIOCEXCL). That mode lives as long as the
//   tty does, which here is as long as the simulator runs, so the host's next open would
//   fail with EBUSY unless it runs as root. An inotify watch on the slave's device node
//   tells when a process closed it, and the pty then lifts the exclusive mode again.

#include <string>

namespace trv810::sim {

class Pty {
 public:
  Pty() = default;
  ~Pty();
  Pty(const Pty&) = delete;
  Pty& operator=(const Pty&) = delete;

  /// Opens a new pseudo-terminal in raw mode; false with the OS's text in `error`.
  bool open(std::string& error);
  /// The master side, non-blocking.
  int master() const { return master_; }
  /// Readable when a process opened or closed the slave; -1 when no watch could be set.
  int watch() const { return watch_; }
  /// The slave's device path, for the host.
  const std::string& path() const { return path_; }
  /// Reads the watch's events; true when a process closed the slave since the last call.
  bool takeClosed();
  /// Lifts an exclusive mode that a host set, so that it can open the slave again.
  void releaseExclusive();
  /// Closes the pseudo-terminal: a host that has the slave open sees it hang up.
  void close();

 private:
  int master_ = -1;
  int slave_ = -1;  // held open so that the master never sees a hang-up
  int watch_ = -1;
  std::string path_;
};

}  // namespace trv810::sim
