#pragma once
// How this platform's port names map to devices, as trv810ctl --help says it. One
// file per platform: port_naming_posix.cpp, port_naming_win32.cpp.

namespace trv810::cli {

/// The help's paragraph on port names, ending with a line break.
extern const char* const kPortNamingHelp;

}  // namespace trv810::cli
