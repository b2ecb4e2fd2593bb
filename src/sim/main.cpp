// trv810-sim: a simulated TRV810 unit on a pseudo-terminal, for tests, benchmarks and
// trying the tool without hardware. Prints "PTY <device>" first, then serves until
// SIGINT or SIGTERM, and writes a one-line JSON summary to stderr at the end.

#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "sim/pty.h"
#include "sim/sample_config.h"
#include "sim/server.h"
#include "sim/sim_options.h"

namespace {

using namespace trv810;

// The image the unit holds: the file's (any format; older ones are converted) or the sample.
bool loadImage(const sim::SimOptions& options, std::array<uint8_t, sim::kImageSize>& image) {
  if (options.configFile.empty()) {
    image = sim::sampleConfig();
    return true;
  }
  config::ConfigImage c;
  const config::LoadStatus status = config::loadConfigFile(options.configFile, c, [] { return true; });
  if (status != config::LoadStatus::Loaded) {
    std::fprintf(stderr, "trv810-sim: %s: %s\n", options.configFile.c_str(),
                 std::string(config::loadStatusMessage(status)).c_str());
    return false;
  }
  std::ranges::copy(c.bytes(), image.begin());
  return true;
}

// SIGINT, SIGTERM and SIGUSR1 arrive on a descriptor that the serve loop polls.
int blockedSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGUSR1);
  if (sigprocmask(SIG_BLOCK, &set, nullptr) != 0) return -1;
  return signalfd(-1, &set, SFD_CLOEXEC);
}

}  // namespace

int main(int argc, char** argv) {
  sim::SimOptions options;
  std::string error;
  if (!sim::parseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "trv810-sim: %s\n\n%s", error.c_str(), sim::helpText());
    return 2;
  }
  if (options.help) {
    std::fputs(sim::helpText(), stdout);
    return 0;
  }
  std::array<uint8_t, sim::kImageSize> image{};
  if (!loadImage(options, image)) return 1;
  const int signals = blockedSignals();
  if (signals < 0) {
    std::perror("trv810-sim: signalfd");
    return 1;
  }
  sim::Pty pty;
  if (!pty.open(error)) {
    std::fprintf(stderr, "trv810-sim: %s\n", error.c_str());
    return 1;
  }
  std::printf("PTY %s\n", pty.path().c_str());
  std::fflush(stdout);

  sim::Unit unit(options.unit, image);
  sim::Server server(unit, pty,
                     {options.baud, options.faults, options.seed, options.trace, options.saveConfig,
                      options.saveFirmware, options.vanishAfterFrames},
                     signals, stderr);
  const int status = server.run();
  std::fprintf(stderr, "%s\n", server.summary().c_str());
  close(signals);
  return status;
}
