// trv810ctl flash FIRMWARE: loads a .hex or .bin file as "Hex-Datei" does and programs
// the unit as "Programmieren" of the flash-update window does, with its texts: the
// status "Flash löschen..." while the unit erases, "%d von %d Blöcken programmiert !"
// as blocks go through, "Programmierung beendet." and the result.

#include <cinttypes>
#include <cstdio>
#include <string_view>

#include "cli/command.h"
#include "cli/transfer_session.h"
#include "firmware/flash_loader.h"
#include "firmware/texts.h"
#include "transfer/requests.h"

namespace trv810::cli {
namespace {

namespace texts = firmware::texts;

std::string titleOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string blocksText(uint32_t done, uint32_t total) {
  char text[96];
  std::snprintf(text, sizeof text, std::string(texts::kProgressFormat).c_str(), static_cast<int>(done),
                static_cast<int>(total));
  return text;
}

int reportResult(uint32_t code, bool quiet) {
  const auto line = [](std::string_view text) { return std::string(text); };
  switch (code) {
    case transfer::RESULT_NO_ANSWER: return failure(line(texts::kNoAnswer));
    case transfer::RESULT_ERASE_FAILED: return failure(line(texts::kEraseFailed));
    case transfer::RESULT_BLOCK_FAILED: return failure(line(texts::kBlockFailed));
    case transfer::RESULT_PROGRAMMED:
      if (!quiet) std::printf("%s\n", line(texts::kProgrammed).c_str());
      return kExitOk;
    case transfer::RESULT_INCOMPATIBLE:
      return failure(line(texts::kIncompatible));
    default:
      break;
  }
  return failure("Unerwarteter Ergebniscode " + std::to_string(code));
}

int runFlash(const std::vector<std::string>& args, const GlobalOptions& options) {
  if (args.size() != 1) return usageError(kFlashCommand, args.empty() ? "keine Datei angegeben" : "nur eine Datei");
  const std::string& path = args[0];
  if (path.size() > 1 && path[0] == '-') return usageError(kFlashCommand, "unbekannte Option " + path);
  std::string error;
  const auto target = resolvePort(options.port, error);
  if (!target) return usageError(kFlashCommand, error);

  TransferSession session(options, *target);
  firmware::FlashImage& image = session.app().flash();
  const firmware::LoadResult loaded = firmware::loadFlashImage(image, path, titleOf(path));
  if (!loaded) return failure(std::string(texts::kInvalidFile), describe(loaded));
  const uint32_t length = image.length();
  // The request announces the number of whole 8-byte blocks in 16 bits; a longer
  // image would be announced as a wrong (wrapped) count.
  if (length > transfer::kMaxAnnouncedFirmwareLength) {
    char text[200];
    std::snprintf(text, sizeof text, std::string(texts::kImageTooLarge).c_str(), unsigned{length},
                  unsigned{transfer::kMaxAnnouncedFirmwareLength});
    char detail[120];
    std::snprintf(detail, sizeof detail, "%" PRIu32 " Blöcke zu 8 Bytes; die Update-Anfrage kündigt höchstens 65535 an.",
                  length >> 3);
    return failure(text, detail);
  }
  if (!options.quiet) {
    std::printf("%s: %" PRIu32 " Bytes\n", path.c_str(), length);
    if (!loaded.rawCopyPath.empty() && loaded.rawCopy) std::printf("Binärkopie: %s\n", loaded.rawCopyPath.c_str());
  }

  const uint32_t blocks = length >> 3;
  ProgressPlan plan;
  plan.totalBlocks = blocks;
  plan.startedText = std::string(texts::kErasing);
  const RunOutcome run = session.run(
      TransferSession::Direction::Download,
      [&image, length](transfer::TransferRecord& r) {
        transfer::prepareFirmwareUpdate(r, image.buffer().data(), length);
      },
      plan);
  if (run.kind == RunOutcome::Kind::Interrupted) {
    std::fprintf(stderr, "%s\n", std::string(texts::kStopped).c_str());
    return kExitInterrupted;
  }
  if (run.kind != RunOutcome::Kind::Result) return kExitFailed;
  if (!options.quiet) {
    if (run.code == transfer::RESULT_PROGRAMMED) std::printf("%s\n", blocksText(blocks, blocks).c_str());
    std::printf("%s\n", std::string(texts::kFinished).c_str());
  }
  return reportResult(run.code, options.quiet);
}

}  // namespace

const Command kFlashCommand{"flash", "FIRMWARE", "Firmware des Geräts ersetzen (.hex oder .bin)", runFlash};

}  // namespace trv810::cli
