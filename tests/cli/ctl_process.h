#pragma once
// trv810ctl run as a process by the command tests, with what it printed.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

extern char** environ;

namespace trv810::tests {

struct Outcome {
  int status;
  std::string out;  // standard output and standard error together
};

inline Outcome trv810ctl(const std::string& args) {
  const std::string command = std::string(TRV810_BINARY_DIR "/src/cli/trv810ctl ") + args + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  Outcome run{-1, {}};
  std::array<char, 512> chunk;
  std::size_t n;
  while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) run.out.append(chunk.data(), n);
  const int raw = ::pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return run;
}

/// Starts trv810ctl with `args` without waiting for it, its standard output and error
/// into the file `out`. -1 when it cannot be started.
inline pid_t startTrv810ctl(std::vector<std::string> args, const std::string& out) {
  args.insert(args.begin(), TRV810_BINARY_DIR "/src/cli/trv810ctl");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

/// Waits for a trv810ctl started so: its exit status, or -1 when it did not exit.
inline int waitForTrv810ctl(pid_t pid) {
  int raw = 0;
  while (::waitpid(pid, &raw, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

}  // namespace trv810::tests
