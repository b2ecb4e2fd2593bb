#include "cli/command.h"

namespace trv810::cli {
namespace {

int runWrite(const std::vector<std::string>&, const GlobalOptions&) {
  return failure("trv810ctl write: not available yet");
}

}  // namespace

const Command kWriteCommand{"write", "FILE.kfg [--yes] [--verify]", "program the unit with a configuration file", runWrite};

}  // namespace trv810::cli
