#include "cli/port_naming.h"

namespace trv810::cli {

const char* const kPortNamingHelp =
    "Ports: COM1-COM4 sind /dev/ttyS0-3, COM5-COM8 /dev/ttyUSB0-3, COM9-COM12\n"
    "/dev/ttyACM0-3; TRV810_COM<n>=GERÄT legt Eintrag n auf ein anderes Gerät.\n";

}  // namespace trv810::cli
