// trv810ctl diff A B [--yes]: compares two configurations field by field, each a .kfg
// or .json file or --unit, the configuration the unit holds now. One line per field
// that differs, "path: A's value -> B's value"; exit status 0 when equal, 1 when they
// differ and 2 when a side cannot be read, as diff(1) does.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>

#include "cli/command.h"
#include "cli/config_transfers.h"
#include "cli/json_loading.h"
#include "cli/kfg_loading.h"
#include "cli/printable.h"
#include "cli/transfer_session.h"

namespace trv810::cli {
namespace {

constexpr std::string_view kUnit = "--unit";

struct Side {
  config::ConfigImage image;
  int formatIndex = 0;
};

bool isJsonPath(const std::string& path) {
  if (path.size() < 5) return false;
  std::string suffix = path.substr(path.size() - 5);
  std::transform(suffix.begin(), suffix.end(), suffix.begin(), [](unsigned char c) { return std::tolower(c); });
  return suffix == ".json";
}

// Exit status of a side that could not be read: 2, or 130 for Ctrl-C.
int unreadable(int status) { return status == kExitInterrupted ? status : kExitUsage; }

int readUnit(const GlobalOptions& options, Side& side) {
  std::string error;
  const auto target = resolvePort(options.port, error);
  if (!target) return usageError(kDiffCommand, error);
  TransferSession session(options, *target);
  const ReadOutcome read = readConfiguration(session, side.image, true);
  side.formatIndex = read.formatIndex;
  return read.status == kExitOk ? kExitOk : unreadable(read.status);
}

int readSide(const std::string& what, bool yes, const GlobalOptions& options, Side& side) {
  if (what == kUnit) return readUnit(options, side);
  if (isJsonPath(what)) {
    config::JsonImport imported;
    std::string error, detail;
    if (!loadJsonFile(what, imported, error, detail)) {
      failure(what + ": " + error, detail);
      return kExitUsage;
    }
    side = {imported.image, imported.formatIndex};
    return kExitOk;
  }
  config::OfflineConfig config;
  if (loadKfg(config, {what, yes}) != kExitOk) return kExitUsage;
  side = {config.image(), config.loadedFormat()};
  return kExitOk;
}

int runDiff(const std::vector<std::string>& args, const GlobalOptions& options) {
  std::vector<std::string> sides;
  bool yes = false;
  for (const std::string& arg : args) {
    if (arg == "--yes" || arg == "-y") {
      yes = true;
    } else if (arg.size() > 1 && arg[0] == '-' && arg != kUnit) {
      return usageError(kDiffCommand, "unbekannte Option " + arg);
    } else {
      sides.push_back(arg);
    }
  }
  if (sides.size() != 2) return usageError(kDiffCommand, "erwartet zwei Konfigurationen");
  Side a, b;
  if (const int status = readSide(sides[0], yes, options, a); status != kExitOk) return status;
  if (const int status = readSide(sides[1], yes, options, b); status != kExitOk) return status;

  const std::vector<config::JsonField> left = config::jsonFields(a.image, a.formatIndex);
  const std::vector<config::JsonField> right = config::jsonFields(b.image, b.formatIndex);
  // Both lists hold the same paths in the same order: the document's schema is fixed.
  int differing = 0;
  for (std::size_t i = 0; i < left.size() && i < right.size(); ++i) {
    if (left[i].value == right[i].value) continue;
    std::printf("%s: %s -> %s\n", left[i].path.c_str(), printable(left[i].value).c_str(),
                printable(right[i].value).c_str());
    ++differing;
  }
  return differing == 0 ? kExitOk : kExitFailed;
}

}  // namespace

const Command kDiffCommand{"diff", "A|--unit B|--unit [--yes]", "zwei Konfigurationen (.kfg, .json, Gerät) vergleichen",
                           runDiff};

}  // namespace trv810::cli
