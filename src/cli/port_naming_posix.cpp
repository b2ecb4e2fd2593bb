#include "cli/port_naming.h"
#include "cli/texts.h"

namespace trv810::cli {

const char* const kPortNamingHelp = texts::kPortNamingHelpPosix;

}  // namespace trv810::cli
