#pragma once
// Loading a .kfg file for the commands that take one: FILE.kfg [--yes], loaded as
// "Datei laden" does; an older format needs --yes, the answer to the question.

#include <algorithm>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/texts.h"
#include "config/offline_config.h"
#include "config/texts.h"

namespace trv810::cli {

struct KfgArguments {
  std::string path;
  bool yes = false;
};

/// Reads FILE.kfg and --yes (plus any flag in `extraFlags`, whose presence is reported
/// in `seen`); false with a message in `error` on anything else.
inline bool parseKfgArguments(const std::vector<std::string>& args, KfgArguments& out, std::string& error,
                              const std::vector<std::string>& extraFlags = {},
                              std::vector<std::string>* seen = nullptr) {
  for (const std::string& arg : args) {
    if (arg == "--yes" || arg == "-y") {
      out.yes = true;
    } else if (std::find(extraFlags.begin(), extraFlags.end(), arg) != extraFlags.end()) {
      if (seen) seen->push_back(arg);
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = texts::unknownOption(arg);
      return false;
    } else if (out.path.empty()) {
      out.path = arg;
    } else {
      error = std::string(texts::kMoreThanOneFile);
      return false;
    }
  }
  if (out.path.empty()) error = std::string(texts::kNoFileGiven);
  return !out.path.empty();
}

/// Loads the file into `config`; on failure prints the system's message (or the
/// older-format question) and returns kExitFailed, else kExitOk.
inline int loadKfg(config::OfflineConfig& config, const KfgArguments& args) {
  platform::FileResult opened;
  const config::LoadStatus status = config.load(args.path, args.yes, &opened);
  if (status == config::LoadStatus::Loaded) return kExitOk;
  if (status == config::LoadStatus::Declined)
    return failure(std::string(config::texts::kOlderFileQuestion), std::string(texts::kOlderNeedsYes));
  const std::string reason = status == config::LoadStatus::NotFound ? config::notFoundReason(opened) : "";
  return failure(std::string(config::loadStatusMessage(status)), reason.empty() ? args.path : reason);
}

}  // namespace trv810::cli
