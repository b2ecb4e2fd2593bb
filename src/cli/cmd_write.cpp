// trv810ctl write FILE.kfg [--yes] [--verify]: "Datei laden", then "TRV programmieren"
// through the same form as the window, so the unit gets exactly what the window would
// send. --verify reads the configuration back and compares it byte for byte. With
// several ports, every unit at once.

#include <cstdio>
#include <utility>

#include "cli/command.h"
#include "cli/config_transfers.h"
#include "cli/kfg_loading.h"
#include "cli/many_units.h"
#include "cli/texts.h"
#include "cli/transfer_session.h"

namespace trv810::cli {
namespace {

// Compares what was sent with what the unit gave back; kExitOk when they agree.
int compareReadBack(const TransferSession& session, std::span<const uint8_t, config::kImageSize> sent,
                    const ReadOutcome& read, const config::ConfigImage& back) {
  if (read.acceptance != config::Acceptance::Current) {
    return session.fail(texts::verifyOtherFormat(read.formatIndex));
  }
  const auto got = back.bytes();
  std::size_t differing = 0;
  std::size_t first = 0;
  for (std::size_t i = 0; i < config::kImageSize; ++i) {
    if (sent[i] != got[i] && differing++ == 0) first = i;
  }
  if (differing == 0) return kExitOk;
  char detail[160];
  std::snprintf(detail, sizeof detail, texts::kVerifyDetailFormat,
                differing, config::kImageSize, first, sent[first], got[first]);
  return session.fail(std::string(texts::kVerifyDiffers), detail);
}

// Programs one unit with `sent` and, with `verify`, reads it back and compares.
int writeUnit(TransferSession& session, std::span<const uint8_t, config::kImageSize> sent, bool verify) {
  if (const int status = writeConfiguration(session, sent); status != kExitOk) return status;
  if (!verify) return kExitOk;
  config::ConfigImage back;
  const ReadOutcome read = readConfiguration(session, back, true);
  if (read.status != kExitOk) return read.status;
  if (const int status = compareReadBack(session, sent, read, back); status != kExitOk) return status;
  session.inform(std::string(texts::kVerified));
  return kExitOk;
}

int runWrite(const std::vector<std::string>& args, const GlobalOptions& options) {
  KfgArguments kfg;
  std::vector<std::string> flags;
  std::string error;
  if (!parseKfgArguments(args, kfg, error, {"--verify"}, &flags)) return usageError(kWriteCommand, error);
  const bool verify = !flags.empty();
  const auto targets = resolvePorts(options, error);
  if (!targets) return usageError(kWriteCommand, error);

  config::OfflineConfig config;
  if (const int status = loadKfg(config, kfg); status != kExitOk) return status;
  // "TRV programmieren": the form is read back and validated into the image.
  const config::FormResult form = config.validate();
  if (!form.ok()) return failure(config::formResultMessage(form), config::formResultHint(form));

  const auto sent = std::as_const(config.image()).bytes();
  return runUnits(options, *targets, [&](TransferSession& session) { return writeUnit(session, sent, verify); });
}

}  // namespace

const Command kWriteCommand{"write", "DATEI.kfg [--yes] [--verify]", texts::kWriteSummary,
                            runWrite};

}  // namespace trv810::cli
