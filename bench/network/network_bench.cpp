// Units behind a serial device server, and several units at once, against the
// simulator at the real line speed (19200 baud), all through trv810ctl as a process:
//
//   1. a firmware flash (16 KiB by default) through ser2net on loopback, raw and with
//      RFC 2217, against the same flash on the pseudo-terminal, in the same run
//      (goal: remote / direct <= 1.10);
//   2. the same flash on 4 units at once against 1 (goal: <= 1.2 x the wall time of
//      one), with the processor time the program spent per unit;
//   3. a configuration write on 3 units at once against 1 (goal: < 1.6 x).
//
//   bench_network [--firmware-kib N] [--runs N] [--erase-delay-ms N]
//
// Each figure is the median of the runs. Run it on an otherwise idle machine: every
// block waits for the wake-ups of the simulator, ser2net and the program.

#include <signal.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "sim/sample_config.h"
#include "support/ser2net.h"
#include "support/simulator.h"

extern char** environ;

namespace {

using trv810::tests::Ser2net;
using trv810::tests::Simulator;

struct Timing {
  double wall = 0;  // seconds
  double cpu = 0;   // user + system seconds of the program
  int status = -1;
};

// Runs trv810ctl with `args`, its output discarded.
Timing runCtl(std::vector<std::string> args) {
  args.insert(args.begin(), {TRV810_BINARY_DIR "/src/cli/trv810ctl", "--quiet"});
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  const auto began = std::chrono::steady_clock::now();
  pid_t pid = -1;
  Timing t;
  if (::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) return t;
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  t.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  t.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
          static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  t.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return t;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

std::string joined(const std::vector<std::string>& ports) {
  std::string out;
  for (const std::string& p : ports) out += (out.empty() ? "" : ",") + p;
  return out;
}

// Median wall and processor time of `runs` runs of trv810ctl on `ports`.
Timing measure(int runs, const std::vector<std::string>& ports, const std::vector<std::string>& command) {
  std::vector<double> walls, cpus;
  for (int i = 0; i < runs; ++i) {
    std::vector<std::string> args{"--port", joined(ports)};
    args.insert(args.end(), command.begin(), command.end());
    const Timing t = runCtl(args);
    if (t.status != 0) {
      std::fprintf(stderr, "trv810ctl on %s failed (%d)\n", joined(ports).c_str(), t.status);
      std::exit(1);
    }
    walls.push_back(t.wall);
    cpus.push_back(t.cpu);
  }
  return {median(walls), median(cpus), 0};
}

}  // namespace

int main(int argc, char** argv) {
  int kib = 16, runs = 3, eraseMs = 200;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string opt = argv[i];
    if (opt == "--firmware-kib") kib = std::atoi(argv[i + 1]);
    else if (opt == "--runs") runs = std::atoi(argv[i + 1]);
    else if (opt == "--erase-delay-ms") eraseMs = std::atoi(argv[i + 1]);
  }
  const std::string dir = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
  const std::string firmware = dir + "/bench-network-fw.bin", config = dir + "/bench-network.kfg";
  {
    std::ofstream out(firmware, std::ios::binary);
    for (int i = 0; i < kib * 1024; ++i) out.put(static_cast<char>(i * 7 + i / 256));
    trv810::config::ConfigImage image;
    std::ranges::copy(trv810::sim::sampleConfig(), image.bytes().begin());
    const auto file = trv810::config::buildConfigFile(image);
    std::ofstream(config, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
  }
  const std::vector<std::string> paced{"--baud", "19200", "--erase-delay-ms", std::to_string(eraseMs)};
  std::vector<std::unique_ptr<Simulator>> units;
  for (int i = 0; i < 4; ++i) units.push_back(std::make_unique<Simulator>(paced));
  Ser2net server(units[0]->device());

  std::printf("%d KiB firmware, %d runs each, the simulator at 19200 baud, erase delay %d ms\n\n", kib, runs, eraseMs);
  const std::vector<std::string> flash{"flash", firmware};
  const Timing direct = measure(runs, {units[0]->device()}, flash);
  const Timing raw = measure(runs, {server.raw()}, flash);
  const Timing telnet = measure(runs, {server.rfc2217()}, flash);
  std::printf("1. flash through ser2net against the pseudo-terminal (goal <= 1.10)\n");
  std::printf("   pseudo-terminal   %7.2f s\n", direct.wall);
  std::printf("   socket:// (raw)   %7.2f s   ratio %.3f\n", raw.wall, raw.wall / direct.wall);
  std::printf("   rfc2217://        %7.2f s   ratio %.3f\n\n", telnet.wall, telnet.wall / direct.wall);

  std::vector<std::string> four;
  for (const auto& u : units) four.push_back(u->device());
  const Timing one = measure(runs, {four[0]}, flash);
  const Timing all = measure(runs, four, flash);
  std::printf("2. flash on 4 units at once against 1 (goal <= 1.2)\n");
  std::printf("   1 unit            %7.2f s   processor %.3f s\n", one.wall, one.cpu);
  std::printf("   4 units at once   %7.2f s   ratio %.3f   processor %.3f s, %.3f s per unit\n\n", all.wall,
              all.wall / one.wall, all.cpu, all.cpu / 4);

  const std::vector<std::string> write{"write", config};
  const Timing writeOne = measure(runs, {four[0]}, write);
  const Timing writeThree = measure(runs, {four[0], four[1], four[2]}, write);
  std::printf("3. configuration write on 3 units at once against 1 (goal < 1.6)\n");
  std::printf("   1 unit            %7.2f s\n", writeOne.wall);
  std::printf("   3 units at once   %7.2f s   ratio %.3f\n", writeThree.wall, writeThree.wall / writeOne.wall);
  std::remove(firmware.c_str());
  std::remove(config.c_str());
  return 0;
}
