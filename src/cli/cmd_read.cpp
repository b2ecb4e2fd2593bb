#include "cli/command.h"

namespace trv810::cli {
namespace {

int runRead(const std::vector<std::string>&, const GlobalOptions&) {
  return failure("trv810ctl read: not available yet");
}

}  // namespace

const Command kReadCommand{"read", "FILE.kfg", "read the unit's configuration into a file", runRead};

}  // namespace trv810::cli
