// trv810ctl import IN.json OUT.kfg: reads a configuration's JSON form and saves it as
// a current-format file, only when it passes the checks of "TRV programmieren". An
// error names the JSON field; nothing is written then.

#include <cstdio>

#include "cli/command.h"
#include "cli/json_loading.h"
#include "cli/texts.h"
#include "config/config_file.h"

namespace trv810::cli {
namespace {

int runImport(const std::vector<std::string>& args, const GlobalOptions& options) {
  for (const std::string& arg : args)
    if (arg.size() > 1 && arg[0] == '-') return usageError(kImportCommand, texts::unknownOption(arg));
  if (args.size() != 2) return usageError(kImportCommand, std::string(texts::kJsonAndTarget));
  config::JsonImport imported;
  std::string error, detail;
  if (!loadJsonFile(args[0], imported, error, detail)) return failure(error, detail);
  if (const platform::FileResult saved = config::saveConfigFile(args[1], imported.image); !saved)
    return failure(std::string(config::texts::kSaveFailed), saved.message);
  if (!options.quiet) std::printf(texts::kSavedInFormat, args[1].c_str());
  return kExitOk;
}

}  // namespace

const Command kImportCommand{"import", "EIN.json AUS.kfg", texts::kImportSummary,
                             runImport};

}  // namespace trv810::cli
