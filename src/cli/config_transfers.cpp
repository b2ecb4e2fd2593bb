#include "cli/config_transfers.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "config/texts.h"
#include "transfer/requests.h"

namespace trv810::cli {
namespace {

namespace texts = config::texts;

constexpr uint32_t kConfigBlocks = config::kImageSize / 8;  // 112, the windows' progress range

std::string firmwareLine(uint16_t version) {
  char text[96];
  std::snprintf(text, sizeof text, std::string(texts::kFirmwareTitleFormat).c_str(), version >> 4, version & 15);
  return text;
}

void inform(const TransferSession& session, std::string_view text) {
  if (!session.quiet()) std::printf("%.*s\n", static_cast<int>(text.size()), text.data());
}

// The texts of the configuration window for the results a command cannot take as success.
int reportFailedResult(uint32_t code) {
  switch (code) {
    case transfer::RESULT_NO_ANSWER: return failure(std::string(texts::kNoAnswer));
    case transfer::RESULT_ERASE_FAILED: return failure(std::string(texts::kEraseFailed));
    case transfer::RESULT_BLOCK_FAILED: return failure(std::string(texts::kBlockFailed));
    case transfer::RESULT_INCOMPATIBLE: return failure(std::string(texts::kIncompatible));
    default: break;
  }
  return failure("Unerwarteter Ergebniscode " + std::to_string(code));
}

}  // namespace

int reportStopped(const RunOutcome& outcome, const char* whatWasLeft) {
  if (outcome.kind == RunOutcome::Kind::Interrupted) {
    std::fprintf(stderr, "Abgebrochen; %s\n", whatWasLeft);
    return kExitInterrupted;
  }
  return kExitFailed;  // the port or thread failure is printed already
}

ReadOutcome readConfiguration(TransferSession& session, config::ConfigImage& image, bool silentSuccess) {
  // The application's staging buffer: it outlives the transfer thread that fills it.
  config::StagingBuffer& staging = session.app().staging();
  staging.fill(0);
  ProgressPlan plan;
  plan.totalBlocks = kConfigBlocks;
  const RunOutcome run = session.run(
      TransferSession::Direction::Upload,
      [&staging](transfer::TransferRecord& r) {
        transfer::prepareConfigurationRead(r, config::kCurrentFormat, staging.data(), staging.size());
      },
      plan);
  ReadOutcome out;
  if (run.kind != RunOutcome::Kind::Result) {
    out.status = reportStopped(run, "nichts wurde gelesen.");
    return out;
  }
  if (run.code != transfer::RESULT_READ_DONE) {
    out.status = reportFailedResult(run.code);
    return out;
  }
  // The port is closed: the thread's record, format index and staging are ours now.
  out.firmwareVersion = session.record().firmwareVersion;
  out.formatIndex = session.app().transfer().formatIndex().load();
  inform(session, firmwareLine(out.firmwareVersion));
  out.acceptance = config::acceptImage(image, out.formatIndex, staging);
  switch (out.acceptance) {
    case config::Acceptance::Refused:
      out.status = failure(std::string(texts::kInvalidImage));
      return out;
    case config::Acceptance::Current:
      if (!silentSuccess) inform(session, texts::kReadDone);
      break;
    case config::Acceptance::Older:
      // The window shows this with the error icon, yet the configuration is taken.
      if (!silentSuccess) std::fprintf(stderr, "%s\n", std::string(texts::kOlderFirmware).c_str());
      break;
  }
  out.status = kExitOk;
  return out;
}

int writeConfiguration(TransferSession& session, std::span<const uint8_t, config::kImageSize> image) {
  // The bytes the thread sends: a copy that nothing changes while it runs.
  std::array<uint8_t, config::kImageSize> outgoing{};
  std::ranges::copy(image, outgoing.begin());
  ProgressPlan plan;
  plan.totalBlocks = kConfigBlocks;
  const RunOutcome run = session.run(
      TransferSession::Direction::Download,
      [&outgoing](transfer::TransferRecord& r) { transfer::prepareConfigurationWrite(r, outgoing.data()); }, plan);
  if (run.kind != RunOutcome::Kind::Result) {
    return reportStopped(run, "das Gerät behält die Blöcke, die es schon erhalten hatte.");
  }
  if (run.code != transfer::RESULT_PROGRAMMED) return reportFailedResult(run.code);
  inform(session, texts::kProgrammed);
  return kExitOk;
}

}  // namespace trv810::cli
