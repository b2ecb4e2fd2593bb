#pragma once
// Runs trv810-sim as a child process for a test: starts it with the given options,
// reads its "PTY <device>" line, and stops it (SIGTERM, then waits) when the object
// goes. Its standard error (traces, the JSON summary) goes to a temporary file that
// log() reads. Set TRV810_SIM_TRACE=1 in the environment to start every simulator
// with --trace.

#include <sys/types.h>

#include <chrono>

#include <string>
#include <vector>

namespace trv810::tests {

class Simulator {
 public:
  /// Starts the simulator with `options` (e.g. {"--baud", "0", "--erase-delay-ms", "50"}).
  /// Throws std::runtime_error when it cannot be started or prints no PTY line in 10 s.
  explicit Simulator(const std::vector<std::string>& options = {});
  ~Simulator();
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  /// The pseudo-terminal's device path, e.g. "/dev/pts/3", for TRV810_COM<n> or a port.
  const std::string& device() const { return device_; }
  pid_t pid() const { return pid_; }
  /// Sends a signal (e.g. SIGUSR1 for a summary line).
  void signal(int signo) const;
  /// Stops it with SIGTERM and waits; returns its exit status (-1 if it died of a
  /// signal). Later calls return the same status.
  int stop();
  /// Everything it wrote to standard error so far.
  std::string log() const;
  /// The last JSON summary line in log(), or "" when there is none yet.
  std::string summary() const;
  /// Whether it has received at least `frames` frames, asked through its summary line
  /// (SIGUSR1) until it says so or `limit` has passed.
  bool receivedFrames(long frames, std::chrono::milliseconds limit);

 private:
  pid_t pid_ = -1;
  int status_ = -1;
  std::string device_;
  std::string logPath_;
};

/// The path of the trv810-sim binary of this build.
std::string simulatorBinary();

}  // namespace trv810::tests
