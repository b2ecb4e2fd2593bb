// trv810ctl diff A B [--yes]: compares two configurations field by field, each a .kfg
// or .json file or --unit, the configuration the unit holds now. One line per field
// that differs, "path: A's value -> B's value"; exit status 0 when equal, 1 when they
// differ and 2 when a side cannot be read, as diff(1) does. With several ports the
// other side is compared with every unit at once: each difference is shown with its
// unit's port before it, and the status is the worst of the units'.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>

#include "cli/command.h"
#include "cli/config_transfers.h"
#include "cli/json_loading.h"
#include "cli/kfg_loading.h"
#include "cli/many_units.h"
#include "cli/printable.h"
#include "cli/texts.h"
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

// Reads a file side; kExitOk, or kExitUsage when it cannot be read.
int readFileSide(const std::string& what, bool yes, Side& side) {
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

// Prints one line per field that differs; 0 when none does, 1 otherwise.
int compareSides(TransferSession* session, const Side& a, const Side& b) {
  const std::vector<config::JsonField> left = config::jsonFields(a.image, a.formatIndex);
  const std::vector<config::JsonField> right = config::jsonFields(b.image, b.formatIndex);
  // Both lists hold the same paths in the same order: the document's schema is fixed.
  int differing = 0;
  for (std::size_t i = 0; i < left.size() && i < right.size(); ++i) {
    if (left[i].value == right[i].value) continue;
    const std::string line = left[i].path + ": " + printable(left[i].value) + " -> " + printable(right[i].value);
    if (session != nullptr) {
      session->output(line);
    } else {
      std::printf("%s\n", line.c_str());
    }
    ++differing;
  }
  return differing == 0 ? kExitOk : kExitFailed;
}

// One unit's side: read as `read` does, compared with the other sides already read.
// `a` and `b` are the two sides, the unit's one of them empty until read here.
int diffUnit(TransferSession& session, std::optional<Side> a, std::optional<Side> b) {
  Side unit;
  const ReadOutcome read = readConfiguration(session, unit.image, true);
  unit.formatIndex = read.formatIndex;
  if (read.status != kExitOk) return unreadable(read.status);
  if (!a) a = unit;
  if (!b) b = unit;
  return compareSides(&session, *a, *b);
}

UnitVerdicts diffVerdicts() {
  return {[](int status) {
            return status == kExitOk ? texts::kEqual : status == kExitFailed ? texts::kDifferent : texts::kUnreadable;
          },
          [](const std::vector<int>& statuses) { return *std::max_element(statuses.begin(), statuses.end()); }};
}

int runDiff(const std::vector<std::string>& args, const GlobalOptions& options) {
  std::vector<std::string> sides;
  bool yes = false;
  for (const std::string& arg : args) {
    if (arg == "--yes" || arg == "-y") {
      yes = true;
    } else if (arg.size() > 1 && arg[0] == '-' && arg != kUnit) {
      return usageError(kDiffCommand, texts::unknownOption(arg));
    } else {
      sides.push_back(arg);
    }
  }
  if (sides.size() != 2) return usageError(kDiffCommand, std::string(texts::kTwoConfigurations));
  const int unitSides = static_cast<int>(std::count(sides.begin(), sides.end(), kUnit));
  if (options.ports.size() > 1 && unitSides != 1) return usageError(kDiffCommand, std::string(texts::kDiffNeedsOneUnitSide));
  std::optional<std::vector<PortTarget>> targets;
  if (unitSides > 0) {
    std::string error;
    targets = resolvePorts(options, error);
    if (!targets) return usageError(kDiffCommand, error);
  }
  // The files first, so that no unit is asked when a file cannot be read.
  std::optional<Side> a, b;
  for (auto [what, side] : {std::pair{&sides[0], &a}, std::pair{&sides[1], &b}}) {
    if (*what == kUnit) continue;
    side->emplace();
    if (const int status = readFileSide(*what, yes, **side); status != kExitOk) return status;
  }
  if (unitSides == 0) return compareSides(nullptr, *a, *b);
  if (unitSides == 2) {
    // The same unit read twice, once for each side.
    return runUnits(options, *targets, [&](TransferSession& session) {
      Side first;
      const ReadOutcome read = readConfiguration(session, first.image, true);
      first.formatIndex = read.formatIndex;
      if (read.status != kExitOk) return unreadable(read.status);
      return diffUnit(session, first, std::nullopt);
    });
  }
  return runUnits(options, *targets, [&](TransferSession& session) { return diffUnit(session, a, b); },
                  diffVerdicts());
}

}  // namespace

const Command kDiffCommand{"diff", "A|--unit B|--unit [--yes]", texts::kDiffSummary,
                           runDiff};

}  // namespace trv810::cli
