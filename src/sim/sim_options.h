#pragma once
// Command-line options of trv810-sim.

#include <cstdint>
#include <string>
#include <vector>

#include "sim/faults.h"
#include "sim/unit.h"

namespace trv810::sim {

struct SimOptions {
  UnitSettings unit;
  uint32_t baud = 19200;  ///< 0: unpaced
  FaultRates faults;
  uint64_t seed = 1;
  std::string configFile;    ///< the .kfg image it holds; empty: the built-in sample
  std::string saveConfig;    ///< .kfg written after each configuration download
  std::string saveFirmware;  ///< .bin written after each firmware download
  uint64_t vanishAfterFrames = 0;  ///< closes its pty after this many frames received; 0: never
  bool trace = false;
  bool help = false;
};

/// Parses the arguments after the program name. On a usage error returns false with
/// the reason in `error`.
bool parseOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);

/// A probability: "0.05" or "5%"; a bare number above 1 is also read as percent.
bool parseProbability(const std::string& text, double& out);

/// The --help text.
const char* helpText();

}  // namespace trv810::sim
