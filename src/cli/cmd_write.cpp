// trv810ctl write FILE.kfg [--yes] [--verify]: "Datei laden", then "TRV programmieren"
// through the same form as the window, so the unit gets exactly what the window would
// send. --verify reads the configuration back and compares it byte for byte.

#include <cstdio>
#include <utility>

#include "cli/command.h"
#include "cli/config_transfers.h"
#include "cli/kfg_loading.h"
#include "cli/transfer_session.h"

namespace trv810::cli {
namespace {

// Compares what was sent with what the unit gave back; kExitOk when they agree.
int compareReadBack(std::span<const uint8_t, config::kImageSize> sent, const ReadOutcome& read,
                    const config::ConfigImage& back) {
  if (read.acceptance != config::Acceptance::Current) {
    return failure("Verify failed: the unit delivered its configuration in format " +
                   std::to_string(read.formatIndex) + ", which cannot be compared byte for byte.");
  }
  const auto got = back.bytes();
  std::size_t differing = 0;
  std::size_t first = 0;
  for (std::size_t i = 0; i < config::kImageSize; ++i) {
    if (sent[i] != got[i] && differing++ == 0) first = i;
  }
  if (differing == 0) return kExitOk;
  char detail[160];
  std::snprintf(detail, sizeof detail, "%zu of %zu bytes differ; the first at offset %zu: written 0x%02X, read 0x%02X",
                differing, config::kImageSize, first, sent[first], got[first]);
  return failure("Verify failed: the unit's configuration differs from what was written.", detail);
}

int runWrite(const std::vector<std::string>& args, const GlobalOptions& options) {
  KfgArguments kfg;
  std::vector<std::string> flags;
  std::string error;
  if (!parseKfgArguments(args, kfg, error, {"--verify"}, &flags)) return usageError(kWriteCommand, error);
  const bool verify = !flags.empty();
  const auto target = resolvePort(options.port, error);
  if (!target) return usageError(kWriteCommand, error);

  config::OfflineConfig config;
  if (const int status = loadKfg(config, kfg); status != kExitOk) return status;
  // "TRV programmieren": the form is read back and validated into the image.
  const config::FormResult form = config.validate();
  if (!form.ok()) return failure(config::formResultMessage(form));

  TransferSession session(options, *target);
  const auto sent = std::as_const(config.image()).bytes();
  if (const int status = writeConfiguration(session, sent); status != kExitOk) return status;
  if (!verify) return kExitOk;

  config::ConfigImage back;
  const ReadOutcome read = readConfiguration(session, back, true);
  if (read.status != kExitOk) return read.status;
  if (const int status = compareReadBack(sent, read, back); status != kExitOk) return status;
  if (!options.quiet) std::printf("Verified: the unit holds the configuration written.\n");
  return kExitOk;
}

}  // namespace

const Command kWriteCommand{"write", "FILE.kfg [--yes] [--verify]", "program the unit with a configuration file",
                            runWrite};

}  // namespace trv810::cli
