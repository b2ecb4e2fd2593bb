#pragma once
// trv810ctl run as a process by the command tests, with what it printed.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

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

}  // namespace trv810::tests
