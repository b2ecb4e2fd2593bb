#include "transfer/operation.h"

#include "transfer/texts.h"

namespace trv810::transfer {

PortTarget PortChoice::target() const {
  const link::PortEntry& entry = ports.entry(selected);
  return {entry.name, entry.device};
}

Operation::~Operation() { stop(); }

void Operation::stop() {
  if (started_) transfer_.stop();
  started_ = false;
}

Start Operation::begin(Transfer::Kind kind, const PortTarget& port, const std::function<void(TransferRecord&)>& fill,
                       NotificationSink& sink) {
  port_ = port;
  switch (transfer_.start(kind, port.device, fill, sink)) {
    case StartStatus::Started:
      started_ = true;
      return {};
    case StartStatus::PortFailed: {
      // The port's name in place of %s, however long a path given as the port is.
      std::string text(texts_.portOpenFailed);
      if (const std::size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, port.name);
      const link::OpenFailure& why = transfer_.lastOpenFailure();
      return {Start::Status::PortFailed, why, failure(text, texts::openFailureReason(why))};
    }
    case StartStatus::ThreadFailed:
      break;
  }
  return {Start::Status::ThreadFailed, {}, failure(std::string(texts_.threadStartFailed))};
}

Start Operation::refuse(std::string text) const { return {Start::Status::Refused, {}, failure(std::move(text))}; }

Report Operation::finish(uint32_t code) {
  // The thread waits for the stop event in its finished state; closing the port ends
  // it, and only then is what it wrote read.
  transfer_.stop();
  started_ = false;
  const auto told = [this](std::string_view text, window::Icon icon = window::Icon::Error) {
    return Message{std::string(text), {}, texts_.resultCaption, icon};
  };
  Report report{code, std::nullopt};
  switch (code) {
    case RESULT_NO_ANSWER:
      report.message = told(texts_.noAnswer);
      if (transfer_.lastDeviceLoss())
        report.message->detail = texts::deviceGone(port_.name, port_.device);
      else if (const auto limit = transfer_.lastTimeLimitPassed())
        report.message->detail = texts::timeLimitAdvice(port_.name, port_.device, *limit);
      else
        report.message->detail = texts::noAnswerAdvice(port_.name, port_.device);
      break;
    case RESULT_ERASE_FAILED:
      report.message = told(texts_.eraseFailed);
      break;
    case RESULT_BLOCK_FAILED:
      report.message = told(texts_.blockFailed);
      break;
    case RESULT_PROGRAMMED:
      report.message = told(texts_.programmed, window::Icon::Information);
      break;
    case RESULT_INCOMPATIBLE:
      report.message = told(texts_.incompatible);
      break;
    default:  // RESULT_READ_DONE is the read's own affair; other codes show nothing
      break;
  }
  return report;
}

Message Operation::failure(std::string text, std::string detail) const {
  return {std::move(text), std::move(detail), texts_.caption, window::Icon::Error};
}

}  // namespace trv810::transfer
