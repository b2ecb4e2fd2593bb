#include "support/simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace trv810::tests {
namespace {

constexpr int kStartTimeoutMs = 10'000;

std::string logFilePath() {
  const char* dir = std::getenv("TMPDIR");
  std::string path = std::string(dir && *dir ? dir : "/tmp") + "/trv810-sim-XXXXXX";
  const int fd = ::mkstemp(path.data());
  if (fd < 0) throw std::runtime_error("mkstemp: " + std::string(std::strerror(errno)));
  ::close(fd);
  return path;
}

// Reads the first line from `fd`, waiting at most kStartTimeoutMs in all.
std::string readFirstLine(int fd) {
  std::string line;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd p{fd, POLLIN, 0};
    if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) return {};
    char c;
    const ssize_t n = ::read(fd, &c, 1);
    if (n <= 0) return {};
    if (c == '\n') return line;
    line += c;
  }
}

pid_t spawn(const std::vector<std::string>& args, int stdoutFd, const std::string& logPath) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, logPath.c_str(), O_WRONLY | O_APPEND, 0);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + args[0] + ": " + std::strerror(rc));
  return pid;
}

}  // namespace

std::string simulatorBinary() { return TRV810_BINARY_DIR "/src/sim/trv810-sim"; }

Simulator::Simulator(const std::vector<std::string>& options) : logPath_(logFilePath()) {
  std::vector<std::string> args{simulatorBinary()};
  args.insert(args.end(), options.begin(), options.end());
  if (const char* t = std::getenv("TRV810_SIM_TRACE"); t && *t && std::string(t) != "0")
    args.push_back("--trace");
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("pipe: " + std::string(std::strerror(errno)));
  try {
    pid_ = spawn(args, out[1], logPath_);
  } catch (...) {
    ::close(out[0]);
    ::close(out[1]);
    throw;
  }
  ::close(out[1]);
  const std::string line = readFirstLine(out[0]);
  ::close(out[0]);
  if (line.rfind("PTY ", 0) != 0) {
    stop();
    throw std::runtime_error("trv810-sim did not start: " + log());
  }
  device_ = line.substr(4);
}

Simulator::~Simulator() {
  stop();
  ::unlink(logPath_.c_str());
}

void Simulator::signal(int signo) const {
  if (pid_ > 0) ::kill(pid_, signo);
}

int Simulator::stop() {
  if (pid_ <= 0) return status_;
  ::kill(pid_, SIGTERM);
  int wstatus = 0;
  while (::waitpid(pid_, &wstatus, 0) < 0 && errno == EINTR) {
  }
  pid_ = -1;
  status_ = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  return status_;
}

std::string Simulator::log() const {
  std::ifstream in(logPath_);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Simulator::summary() const {
  const std::string text = log();
  const std::size_t at = text.rfind("{\"sim\":");
  if (at == std::string::npos) return {};
  return text.substr(at, text.find('\n', at) - at);
}

bool Simulator::receivedFrames(long frames, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < deadline) {
    const std::size_t before = log().size();
    signal(SIGUSR1);
    while (log().size() == before && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    const std::string line = summary();
    const std::size_t at = line.find("\"frames_in\":");
    if (at != std::string::npos && std::atol(line.c_str() + at + 12) >= frames) return true;
  }
  return false;
}

}  // namespace trv810::tests
