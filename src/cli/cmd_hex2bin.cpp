#include "cli/command.h"

namespace trv810::cli {
namespace {

int runHex2bin(const std::vector<std::string>&, const GlobalOptions&) {
  return failure("trv810ctl hex2bin: not available yet");
}

}  // namespace

const Command kHex2binCommand{"hex2bin", "FILE.hex", "check a firmware file and write its raw copy", runHex2bin};

}  // namespace trv810::cli
