#pragma once
// trv810ctl's commands. Each lives in a file of its own (cmd_<name>.cpp) and is listed
// in main.cpp. Exit status: 0 success, 1 the operation failed (the system's message on
// standard error), 2 a usage error, 130 a transfer stopped by Ctrl-C (or SIGTERM, SIGHUP);
// diff answers 0 equal, 1 different, 2 a side that cannot be read.

#include <string>
#include <vector>

namespace trv810::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;

/// Options given before the command name.
struct GlobalOptions {
  std::string port = "COM1";  ///< "COM1".."COM12", a device path or a network address: the first given
  std::vector<std::string> ports;  ///< every port given, in order (--port again, or a comma list)
  bool quiet = false;         ///< no progress output
  bool trace = false;         ///< every frame sent and received, with a timestamp
};

struct Command {
  const char* name;
  const char* arguments;  ///< e.g. "FILE.kfg [--yes]"
  const char* summary;    ///< one line for --help
  int (*run)(const std::vector<std::string>& args, const GlobalOptions& options);
};

/// Adds the ports of one --port, a comma list, to `options`.
void addPorts(GlobalOptions& options, const std::string& list);

/// A usage error for `command`: prints the message and the command's usage line to
/// standard error and returns kExitUsage.
int usageError(const Command& command, const std::string& message);
/// A failure: prints the system's message (and an optional detail line) to standard
/// error and returns kExitFailed.
int failure(const std::string& message, const std::string& detail = {});

extern const Command kPortsCommand;
extern const Command kHex2binCommand;
extern const Command kShowCommand;
extern const Command kCheckCommand;
extern const Command kReadCommand;
extern const Command kWriteCommand;
extern const Command kFlashCommand;
extern const Command kExportCommand;
extern const Command kImportCommand;
extern const Command kDiffCommand;

}  // namespace trv810::cli
