// trv810ctl read FILE.kfg: "TRV auslesen", then the configuration is saved as a
// current-format file exactly as the unit delivered it (an older format converted as
// the window converts it). The form does not validate it: a backup must never be
// refused for what the unit holds.

#include <cstdio>

#include "cli/command.h"
#include "cli/config_transfers.h"
#include "cli/transfer_session.h"
#include "config/config_file.h"
#include "config/texts.h"
#include "platform/file.h"

namespace trv810::cli {
namespace {

int runRead(const std::vector<std::string>& args, const GlobalOptions& options) {
  if (args.size() != 1) return usageError(kReadCommand, args.empty() ? "keine Datei angegeben" : "nur eine Datei");
  const std::string& path = args[0];
  if (path.size() > 1 && path[0] == '-') return usageError(kReadCommand, "unbekannte Option " + path);
  std::string error;
  const auto target = resolvePort(options.port, error);
  if (!target) return usageError(kReadCommand, error);
  // Told before the unit is asked: a folder, a device, a read-only file, a folder that
  // takes no new file.
  if (const platform::FileResult writable = platform::checkSaveTarget(path); !writable)
    return failure(std::string(config::texts::kSaveFailed), writable.message);

  TransferSession session(options, *target);
  config::ConfigImage& image = session.app().configImage();
  const ReadOutcome read = readConfiguration(session, image);
  if (read.status != kExitOk) return read.status;
  if (const platform::FileResult saved = config::saveConfigFile(path, image); !saved)
    return failure(std::string(config::texts::kSaveFailed), saved.message);
  if (!options.quiet) std::printf("gespeichert in %s\n", path.c_str());
  return kExitOk;
}

}  // namespace

const Command kReadCommand{"read", "DATEI.kfg", "Konfiguration des Geräts in eine Datei lesen", runRead};

}  // namespace trv810::cli
