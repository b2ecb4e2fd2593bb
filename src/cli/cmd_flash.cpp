// trv810ctl flash FIRMWARE: loads a .hex or .bin file as "Hex-Datei" does and programs
// the unit as "Programmieren" of the flash-update window does, with its texts: the
// status "Flash löschen..." while the unit erases, "%d von %d Blöcken programmiert !"
// as blocks go through, "Programmierung beendet." and the result; a programming that
// did not finish ends with "Firmware unvollständig: vor Gebrauch neu flashen !". With
// several ports, every unit at once with the same image.

#include <cinttypes>
#include <cstdio>
#include <string_view>

#include "cli/command.h"
#include "cli/config_transfers.h"
#include "cli/many_units.h"
#include "cli/texts.h"
#include "cli/transfer_session.h"
#include "firmware/firmware_update.h"
#include "firmware/flash_loader.h"
#include "firmware/texts.h"
#include "transfer/requests.h"

namespace trv810::cli {
namespace {

std::string titleOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string blocksText(uint32_t done, uint32_t total) {
  char text[96];
  std::snprintf(text, sizeof text, std::string(firmware::texts::kProgressFormat).c_str(), static_cast<int>(done),
                static_cast<int>(total));
  return text;
}

// Programs one unit with `image`, which every unit's transfer only reads.
int flashUnit(TransferSession& session, firmware::FlashImage& image) {
  firmware::FirmwareUpdate update(session.transfer(), image);
  ProgressPlan plan;
  plan.totalBlocks = update.blocks();
  plan.startedText = std::string(firmware::texts::kErasing);
  const uint32_t length = image.length();
  const RunOutcome run = session.run(
      [&](transfer::NotificationSink& sink) {
        transfer::Start start = update.start(session.target(), sink);
        if (length > transfer::kMaxAnnouncedFirmwareLength) {
          // Sent, the image would be announced with a wrong (wrapped) block count.
          char detail[120];
          std::snprintf(detail, sizeof detail, texts::kTooManyBlocksFormat, length >> 3);
          start.message.detail = detail;
        }
        return start;
      },
      plan);
  const std::string incomplete(firmware::texts::kFirmwareIncomplete);
  if (run.kind == RunOutcome::Kind::Interrupted) {
    session.fail(std::string(firmware::texts::kStopped), incomplete);
    return kExitInterrupted;
  }
  if (run.kind != RunOutcome::Kind::Result) return kExitFailed;
  const transfer::Report report = update.end(run.code);
  const bool programmed = run.code == transfer::RESULT_PROGRAMMED;
  if (programmed) session.inform(blocksText(update.blocks(), update.blocks()));
  session.inform(std::string(programmed ? firmware::texts::kFinished : firmware::texts::kFailed));
  if (!programmed) {
    const int status = reportFailedResult(session, report);
    if (firmware::leavesFirmwareIncomplete(run.code)) session.fail(incomplete);
    return status;
  }
  session.tell(*report.message);
  return kExitOk;
}

int runFlash(const std::vector<std::string>& args, const GlobalOptions& options) {
  if (args.size() != 1) return usageError(kFlashCommand, std::string(args.empty() ? texts::kNoFileGiven : texts::kOnlyOneFile));
  const std::string& path = args[0];
  if (path.size() > 1 && path[0] == '-') return usageError(kFlashCommand, texts::unknownOption(path));
  std::string error;
  const auto targets = resolvePorts(options, error);
  if (!targets) return usageError(kFlashCommand, error);

  // Loaded once; every unit is programmed with the same image.
  firmware::FlashImage image;
  const firmware::LoadResult loaded = firmware::loadFlashImage(image, path, titleOf(path));
  if (!loaded) return failure(std::string(firmware::texts::kInvalidFile), describe(loaded));
  // Told whatever --quiet says: the image is programmed, but its .bin is missing or old,
  // or it is not quite what the file held.
  if (firmware::rawCopyFailed(loaded)) failure(std::string(firmware::texts::kRawCopyNotWritten), loaded.rawCopy.message);
  if (const std::string warning = firmware::loadWarning(loaded); !warning.empty())
    std::fprintf(stderr, "%s\n", warning.c_str());
  if (image.length() <= transfer::kMaxAnnouncedFirmwareLength && !options.quiet) {
    std::printf(texts::kFirmwareBytesFormat, path.c_str(), image.length());
    if (!loaded.rawCopyPath.empty() && loaded.rawCopy) std::printf(texts::kRawCopyFormat, loaded.rawCopyPath.c_str());
  }
  return runUnits(options, *targets, [&](TransferSession& session) { return flashUnit(session, image); });
}

}  // namespace

const Command kFlashCommand{"flash", "FIRMWARE", texts::kFlashSummary, runFlash};

}  // namespace trv810::cli
