#include "cli/port_naming.h"

namespace trv810::cli {

const char* const kPortNamingHelp =
    "Ports: COM1-COM12 sind die Schnittstellen \\\\.\\COM1 bis \\\\.\\COM12; --port nimmt auch\n"
    "COM13 und höher und \\\\.\\COMn. TRV810_COM<n>=GERÄT legt Eintrag n auf ein anderes Gerät.\n";

}  // namespace trv810::cli
