#include "cli/port_naming.h"
#include "cli/texts.h"

namespace trv810::cli {

const char* const kPortNamingHelp = texts::kPortNamingHelpWin32;

}  // namespace trv810::cli
