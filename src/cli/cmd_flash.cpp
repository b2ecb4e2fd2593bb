#include "cli/command.h"

namespace trv810::cli {
namespace {

int runFlash(const std::vector<std::string>&, const GlobalOptions&) {
  return failure("trv810ctl flash: not available yet");
}

}  // namespace

const Command kFlashCommand{"flash", "FIRMWARE", "replace the unit's firmware (.hex or .bin)", runFlash};

}  // namespace trv810::cli
