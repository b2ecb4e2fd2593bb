// trv810ctl read FILE.kfg: "TRV auslesen", then the configuration is saved as a
// current-format file exactly as the unit delivered it (an older format converted as
// the window converts it). The form does not validate it: a backup must never be
// refused for what the unit holds. With several ports, every unit at once, each into
// the file whose name has "{port}" replaced by its port.

#include <cstdio>

#include "cli/command.h"
#include "cli/config_transfers.h"
#include "cli/many_units.h"
#include "cli/texts.h"
#include "cli/transfer_session.h"
#include "config/config_file.h"
#include "config/texts.h"
#include "platform/file.h"

namespace trv810::cli {
namespace {

// Reads one unit's configuration and saves it as `path`.
int readUnit(TransferSession& session, const std::string& path) {
  config::ConfigImage& image = session.app().configImage();
  const ReadOutcome read = readConfiguration(session, image);
  if (read.status != kExitOk) return read.status;
  if (const platform::FileResult saved = config::saveConfigFile(path, image); !saved)
    return session.fail(std::string(config::texts::kSaveFailed), saved.message);
  session.inform(texts::savedIn(path));
  return kExitOk;
}

int runRead(const std::vector<std::string>& args, const GlobalOptions& options) {
  if (args.size() != 1) return usageError(kReadCommand, std::string(args.empty() ? texts::kNoFileGiven : texts::kOnlyOneFile));
  const std::string& path = args[0];
  if (path.size() > 1 && path[0] == '-') return usageError(kReadCommand, texts::unknownOption(path));
  std::string error;
  const auto targets = resolvePorts(options, error);
  if (!targets) return usageError(kReadCommand, error);
  // Several units each get a file of their own, named after their port.
  if (targets->size() > 1 && path.find(kPortPlaceholder) == std::string::npos)
    return usageError(kReadCommand, std::string(texts::kReadNeedsPlaceholder));
  for (std::size_t i = 0; i < targets->size(); ++i) {
    const std::string file = pathForPort(path, (*targets)[i].name);
    for (std::size_t j = 0; j < i; ++j) {
      if (pathForPort(path, (*targets)[j].name) == file)
        return usageError(kReadCommand, texts::sameFile((*targets)[j].name, (*targets)[i].name, file));
    }
    // Told before any unit is asked: a folder, a device, a read-only file, a folder that
    // takes no new file.
    if (const platform::FileResult writable = platform::checkSaveTarget(file); !writable)
      return failure(std::string(config::texts::kSaveFailed), writable.message);
  }
  return runUnits(options, *targets,
                  [&](TransferSession& session) { return readUnit(session, pathForPort(path, session.target().name)); });
}

}  // namespace

const Command kReadCommand{"read", "DATEI.kfg", texts::kReadSummary, runRead};

}  // namespace trv810::cli
