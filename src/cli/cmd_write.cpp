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
    return failure("Prüfung fehlgeschlagen: das Gerät lieferte seine Konfiguration im Format " +
                   std::to_string(read.formatIndex) + ", das sich nicht Byte für Byte vergleichen lässt.");
  }
  const auto got = back.bytes();
  std::size_t differing = 0;
  std::size_t first = 0;
  for (std::size_t i = 0; i < config::kImageSize; ++i) {
    if (sent[i] != got[i] && differing++ == 0) first = i;
  }
  if (differing == 0) return kExitOk;
  char detail[160];
  std::snprintf(detail, sizeof detail, "%zu von %zu Bytes verschieden; das erste bei Offset %zu: geschrieben 0x%02X, gelesen 0x%02X",
                differing, config::kImageSize, first, sent[first], got[first]);
  return failure("Prüfung fehlgeschlagen: die Konfiguration des Geräts weicht vom Geschriebenen ab.", detail);
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
  if (!form.ok()) return failure(config::formResultMessage(form), config::formResultHint(form));

  TransferSession session(options, *target);
  const auto sent = std::as_const(config.image()).bytes();
  if (const int status = writeConfiguration(session, sent); status != kExitOk) return status;
  if (!verify) return kExitOk;

  config::ConfigImage back;
  const ReadOutcome read = readConfiguration(session, back, true);
  if (read.status != kExitOk) return read.status;
  if (const int status = compareReadBack(sent, read, back); status != kExitOk) return status;
  if (!options.quiet) std::printf("Geprüft: das Gerät enthält die geschriebene Konfiguration.\n");
  return kExitOk;
}

}  // namespace

const Command kWriteCommand{"write", "DATEI.kfg [--yes] [--verify]", "Gerät mit einer Konfigurationsdatei programmieren",
                            runWrite};

}  // namespace trv810::cli
