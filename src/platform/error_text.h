#pragma once
// The operating system's error numbers as a user reads them: in German, like every
// other line the program shows. The errors a file or a serial port commonly meets
// have their own words; any other gives its number with the system's own text.

#include <string>

#include "platform/file.h"

namespace trv810::platform {

/// The German text of error number `error` (an errno value).
std::string errorText(int error);

/// Why a file marked read-only is not replaced: "Datei ist schreibgeschützt".
std::string readOnlyText();

/// Why a path that holds a `type` cannot be used where a regular file is needed,
/// e.g. "keine gewöhnliche Datei, sondern eine benannte Pipe (FIFO)".
std::string notRegularText(FileType type);

}  // namespace trv810::platform
