// trv810ctl check FILE.kfg [--yes]: loads a configuration file into the form and
// validates it as "TRV programmieren" would.

#include <cstdio>

#include "cli/command.h"
#include "cli/kfg_loading.h"
#include "cli/texts.h"

namespace trv810::cli {
namespace {

int runCheck(const std::vector<std::string>& args, const GlobalOptions& options) {
  KfgArguments kfg;
  std::string error;
  if (!parseKfgArguments(args, kfg, error)) return usageError(kCheckCommand, error);
  config::OfflineConfig config;
  if (const int status = loadKfg(config, kfg); status != kExitOk) return status;
  const config::FormResult result = config.validate();
  if (!result.ok()) return failure(config::formResultMessage(result), config::formResultHint(result));
  if (!options.quiet) std::printf(texts::kValidFormat, kfg.path.c_str());
  return kExitOk;
}

}  // namespace

const Command kCheckCommand{"check", "DATEI.kfg [--yes]", texts::kCheckSummary,
                            runCheck};

}  // namespace trv810::cli
