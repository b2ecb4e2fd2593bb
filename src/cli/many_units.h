#pragma once
// Several units at once: read, write, flash and diff --unit take --port more than once
// (or a comma list), and run the same job for every unit in parallel, each on a
// thread of its own with its own session, and so its own link, transfer and images.
// One unit's failure stops none of the others.
//
// While they run, each unit's progress is a line of its own (its port before it), or
// on a terminal one line for all of them, the units numbered as a legend above it
// says. Then a summary: one line per unit with its port, the word for its result and
// what it said (successes on standard output, not with --quiet; the others on
// standard error), and a count of each result. Ctrl-C stops every unit as "Abbrechen"
// would and says which had finished. Exit status: 130 after Ctrl-C, else the
// command's verdict over all units (0 only when every unit succeeded, else 1).

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command.h"
#include "cli/transfer_session.h"

namespace trv810::cli {

/// Whether `command` takes several ports.
bool takesSeveralPorts(const Command& command);

/// The ports of --port, resolved; COM1 when none was given. Nullopt (with `error`)
/// for a port that does not resolve, an empty entry, or two naming the same port or
/// device.
std::optional<std::vector<PortTarget>> resolvePorts(const GlobalOptions& options, std::string& error);

/// `name` as part of a file name: every run of characters other than ASCII letters,
/// digits, '-' and '.' becomes one '_', and a leading '_' is dropped
/// ("/dev/pts/3" -> "dev_pts_3", "socket://10.0.0.5:4001" -> "socket_10.0.0.5_4001").
std::string fileSafeName(std::string_view name);

inline constexpr std::string_view kPortPlaceholder = "{port}";
/// `path` with every "{port}" replaced by fileSafeName(`port`).
std::string pathForPort(const std::string& path, const std::string& port);

/// A command's job for one unit: its exit status.
using UnitJob = std::function<int(TransferSession&)>;

/// How a command words a unit's exit status in the summary, and what the program's
/// exit status is from all units' (130 is handled before).
struct UnitVerdicts {
  std::function<std::string_view(int status)> word;
  std::function<int(const std::vector<int>& statuses)> overall;
};
/// Success is 0; anything else a failure: 0 when every unit succeeded, else 1.
UnitVerdicts transferVerdicts();

/// Runs `job` for every target: with one, on the process's console, exactly as a
/// command without several ports; with more, all at once as described above.
int runUnits(const GlobalOptions& options, const std::vector<PortTarget>& targets, const UnitJob& job,
             const UnitVerdicts& verdicts = transferVerdicts());

}  // namespace trv810::cli
