// trv810ctl export FILE.kfg [--yes] [-o OUT.json]: the configuration of a file as JSON
// text, on standard output or saved to OUT.json. The file is shown as it is, without
// the form's checks, as show does.

#include <cstdio>

#include "cli/command.h"
#include "cli/kfg_loading.h"
#include "cli/texts.h"
#include "config/config_json.h"
#include "platform/file.h"

namespace trv810::cli {
namespace {

int runExport(const std::vector<std::string>& args, const GlobalOptions& options) {
  std::vector<std::string> rest;
  std::string output;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" || args[i] == "--output") {
      if (i + 1 == args.size()) return usageError(kExportCommand, texts::withoutFile(args[i]));
      output = args[++i];
    } else if (args[i].rfind("--output=", 0) == 0) {
      output = args[i].substr(9);
    } else {
      rest.push_back(args[i]);
    }
  }
  KfgArguments kfg;
  std::string error;
  if (!parseKfgArguments(rest, kfg, error)) return usageError(kExportCommand, error);
  config::OfflineConfig config;
  if (const int status = loadKfg(config, kfg); status != kExitOk) return status;
  const std::string text = config::exportJson(config.image(), config.loadedFormat());
  if (output.empty()) {
    // Whether it reached its reader is told when main flushes the output.
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitOk;
  }
  const auto bytes = std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  if (const platform::FileResult saved = platform::writeFileReplacing(output, bytes); !saved)
    return failure(std::string(config::texts::kSaveFailed), saved.message);
  if (!options.quiet) std::printf(texts::kSavedInFormat, output.c_str());
  return kExitOk;
}

}  // namespace

const Command kExportCommand{"export", "DATEI.kfg [--yes] [-o AUS.json]", texts::kExportSummary,
                             runExport};

}  // namespace trv810::cli
