#include "cli/command.h"

namespace trv810::cli {
namespace {

int runPorts(const std::vector<std::string>&, const GlobalOptions&) {
  return failure("trv810ctl ports: not available yet");
}

}  // namespace

const Command kPortsCommand{"ports", "", "list the port names, their devices, and the serial devices present", runPorts};

}  // namespace trv810::cli
