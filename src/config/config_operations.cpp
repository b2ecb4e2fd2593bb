#include "config/config_operations.h"

#include <algorithm>
#include <cstdio>

#include "config/texts.h"
#include "transfer/requests.h"

namespace trv810::config {
namespace {

using window::Icon;

// The configuration window's words, for the read and the write alike.
constexpr transfer::OperationTexts kTexts{
    texts::kWindowCaption, texts::kPortOpenFailed, texts::kThreadStartFailed, texts::kResultCaption,
    texts::kNoAnswer,      texts::kEraseFailed,    texts::kBlockFailed,       texts::kProgrammed,
    texts::kIncompatible};

}  // namespace

std::string firmwareTitle(uint16_t version) {
  char text[64];
  std::snprintf(text, sizeof text, std::string(texts::kFirmwareTitleFormat).c_str(), version >> 4, version & 15);
  return text;
}

ConfigurationRead::ConfigurationRead(transfer::Transfer& transfer, StagingBuffer& staging)
    : Operation(transfer, kTexts), staging_(staging) {}

transfer::Start ConfigurationRead::start(const transfer::PortTarget& port, transfer::NotificationSink& sink) {
  return begin(transfer::Transfer::Kind::Upload, port,
               [this](transfer::TransferRecord& r) {
                 transfer::prepareConfigurationRead(r, kCurrentFormat, staging_.data(), staging_.size());
               },
               sink);
}

ReadReport ConfigurationRead::end(uint32_t code, ConfigImage& image) {
  ReadReport report;
  static_cast<transfer::Report&>(report) = finish(code);
  if (code != transfer::RESULT_READ_DONE) return report;
  report.firmwareVersion = transfer_.record().firmwareVersion;
  report.formatIndex = transfer_.formatIndex().load();
  report.acceptance = acceptImage(image, report.formatIndex, staging_);
  switch (report.acceptance) {
    case Acceptance::Refused:
      report.message = transfer::Message{std::string(texts::kInvalidImage), {}, texts::kResultCaption, Icon::Error};
      break;
    case Acceptance::Current:
      report.message = transfer::Message{std::string(texts::kReadDone), {}, texts::kUploadCaption, Icon::Information};
      break;
    case Acceptance::Older:
      // The window shows this with the error icon, yet the configuration is taken.
      report.message = transfer::Message{std::string(texts::kOlderFirmware), {}, texts::kUploadCaption, Icon::Error};
      break;
  }
  return report;
}

ConfigurationWrite::ConfigurationWrite(transfer::Transfer& transfer) : Operation(transfer, kTexts) {}

transfer::Start ConfigurationWrite::start(const transfer::PortTarget& port, std::span<const uint8_t, kImageSize> image,
                                          transfer::NotificationSink& sink) {
  return begin(transfer::Transfer::Kind::Download, port,
               [this, image](transfer::TransferRecord& r) {
                 std::ranges::copy(image, outgoing_.begin());
                 transfer::prepareConfigurationWrite(r, outgoing_.data());
               },
               sink);
}

}  // namespace trv810::config
