#include "cli/config_transfers.h"
#include "cli/texts.h"

#include <cstdio>
#include <string>

#include "config/config_operations.h"

namespace trv810::cli {
namespace {

constexpr uint32_t kConfigBlocks = config::kImageSize / 8;  // 112, the windows' progress range

}  // namespace

int reportStopped(const TransferSession& session, const RunOutcome& outcome, const char* whatWasLeft) {
  if (outcome.kind == RunOutcome::Kind::Interrupted) {
    session.fail(texts::stoppedLeaving(whatWasLeft));
    return kExitInterrupted;
  }
  return kExitFailed;  // the port or thread failure is told already
}

int reportFailedResult(const TransferSession& session, const transfer::Report& report) {
  if (!report.message) return session.fail(texts::unexpectedResult(report.code));
  return session.fail(report.message->text, report.message->detail);
}

ReadOutcome readConfiguration(TransferSession& session, config::ConfigImage& image, bool silentSuccess) {
  // The application's staging buffer: it outlives the transfer thread that fills it.
  config::StagingBuffer& staging = session.app().staging();
  staging.fill(0);
  config::ConfigurationRead read(session.transfer(), staging);
  ProgressPlan plan;
  plan.totalBlocks = kConfigBlocks;
  const RunOutcome run =
      session.run([&](transfer::NotificationSink& sink) { return read.start(session.target(), sink); }, plan);
  ReadOutcome out;
  if (run.kind != RunOutcome::Kind::Result) {
    out.status = reportStopped(session, run, texts::kNothingRead);
    return out;
  }
  const config::ReadReport report = read.end(run.code, image);
  out.acceptance = report.acceptance;
  out.firmwareVersion = report.firmwareVersion;
  out.formatIndex = report.formatIndex;
  if (report.code == transfer::RESULT_READ_DONE && !silentSuccess)
    session.inform(config::firmwareTitle(report.firmwareVersion));
  if (!report.imported()) {
    out.status = reportFailedResult(session, report);
    return out;
  }
  // "Konfiguration gelesen !", or the message about older firmware, with which the
  // configuration is taken all the same.
  if (!silentSuccess) session.tell(*report.message);
  out.status = kExitOk;
  return out;
}

int writeConfiguration(TransferSession& session, std::span<const uint8_t, config::kImageSize> image) {
  config::ConfigurationWrite write(session.transfer());
  ProgressPlan plan;
  plan.totalBlocks = kConfigBlocks;
  const RunOutcome run = session.run(
      [&](transfer::NotificationSink& sink) { return write.start(session.target(), image, sink); }, plan);
  if (run.kind != RunOutcome::Kind::Result) {
    return reportStopped(session, run, texts::kBlocksKept);
  }
  const transfer::Report report = write.end(run.code);
  if (report.code != transfer::RESULT_PROGRAMMED) return reportFailedResult(session, report);
  session.tell(*report.message);
  return kExitOk;
}

}  // namespace trv810::cli
