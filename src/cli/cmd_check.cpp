#include "cli/command.h"

namespace trv810::cli {
namespace {

int runCheck(const std::vector<std::string>&, const GlobalOptions&) {
  return failure("trv810ctl check: not available yet");
}

}  // namespace

const Command kCheckCommand{"check", "FILE.kfg [--yes]", "validate a configuration file as programming would", runCheck};

}  // namespace trv810::cli
