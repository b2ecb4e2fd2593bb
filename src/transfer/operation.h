#pragma once
// Operations: the one home of each transfer a user starts. Reading the configuration,
// writing it and programming firmware are each a type built on Operation (the first
// two in config/config_operations.h, the last in firmware/firmware_update.h). A type
// fills the TransferRecord from the request builders (transfer/requests.h), opens the
// port and starts the transfer in one call, and turns the result into the text and
// icon its window shows. The windows, trv810ctl, the benchmark and the tests all go
// through them; a window keeps only its own input handling.
//
// Use: start(port, ..., sink) -> Started, or why not with the message to show; then
// hand WM_TRANSFER_RESULT's code to end(), which closes the port (so the thread has
// ended and everything it wrote can be read) and returns the result's message, or
// stop() for "Abbrechen"/"Stop". An operation destroyed while its transfer runs stops
// it first, so nothing it lent the thread is released under it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "link/port_table.h"
#include "window/window_host.h"
#include "transfer/transfer.h"
#include "transfer/transfer_record.h"

namespace trv810::transfer {

/// The port an operation talks to: the name messages show ("COM3", or a path given
/// as such) and the device it opens.
struct PortTarget {
  std::string name;
  std::string device;
};

/// The port the user chose in a window: the table and the selected index 0..11, both
/// read at the moment an operation starts.
struct PortChoice {
  const link::PortTable& ports;
  const int& selected;
  PortTarget target() const;
};

/// What the user is told: the system's text, a line under it that says more (empty
/// for none), and the caption and icon of its message box.
struct Message {
  std::string text;
  std::string detail;
  std::string_view caption;
  window::Icon icon = window::Icon::Error;
  /// The text as a message box shows it: the detail under it after an empty line.
  std::string boxText() const { return detail.empty() ? text : text + "\n\n" + detail; }
};

/// How a start went.
struct Start {
  enum class Status {
    Started,
    Refused,       ///< the operation refused before opening the port
    PortFailed,    ///< the port could not be opened; `portFailure` tells why
    ThreadFailed,  ///< the transfer could not be started; the port is closed again
  };
  Status status = Status::Started;
  link::OpenFailure portFailure;
  Message message;  ///< unless started: what the window shows
  explicit operator bool() const { return status == Status::Started; }
};

/// How a transfer ended: the result code and the window's message for it, if any.
struct Report {
  uint32_t code = 0;
  std::optional<Message> message;
};

/// The words of an operation's window, from that window's texts file: the captions,
/// the port and thread failures, and the message of each result a transfer can post
/// (RESULT_PROGRAMMED with the information icon, the others with the error icon).
struct OperationTexts {
  std::string_view caption;            ///< of the port and thread failures
  std::string_view portOpenFailed;     ///< with %s for the port's name
  std::string_view threadStartFailed;
  std::string_view resultCaption;      ///< of the results' boxes
  std::string_view noAnswer, eraseFailed, blockFailed, programmed, incompatible;
};

class Operation {
 public:
  Operation(const Operation&) = delete;
  Operation& operator=(const Operation&) = delete;

  /// Stops the transfer this operation started, if it still runs: closes the port; the
  /// thread posts nothing more.
  void stop();
  /// The port of the last start.
  const PortTarget& port() const { return port_; }

 protected:
  Operation(Transfer& transfer, const OperationTexts& texts) : transfer_(transfer), texts_(texts) {}
  ~Operation();

  /// Opens `port`, lets `fill` fill the record, starts a `kind` transfer posting to `sink`.
  Start begin(Transfer::Kind kind, const PortTarget& port, const std::function<void(TransferRecord&)>& fill,
              NotificationSink& sink);
  /// A refusal before the port is opened, with `text` in the window's failure box.
  Start refuse(std::string text) const;
  /// The result arrived: closes the port and returns the window's message for `code`.
  /// "Verbindung unterbrochen !" gets a line under it: the device went away, the unit
  /// answered but the transfer ran out of time, or what to check when it did not answer.
  Report finish(uint32_t code);

  Transfer& transfer_;

 private:
  Message failure(std::string text, std::string detail = {}) const;

  const OperationTexts& texts_;
  PortTarget port_;
  bool started_ = false;
};

}  // namespace trv810::transfer
