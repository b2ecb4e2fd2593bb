#include "cli/command.h"

namespace trv810::cli {
namespace {

int runShow(const std::vector<std::string>&, const GlobalOptions&) {
  return failure("trv810ctl show: not available yet");
}

}  // namespace

const Command kShowCommand{"show", "FILE.kfg [--yes]", "list a configuration file", runShow};

}  // namespace trv810::cli
