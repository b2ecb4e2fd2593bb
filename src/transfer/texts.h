#pragma once
// The words for what the link reports, shared by every operation that opens the port
// (the configuration window, the flash-update window, trv810ctl): why a port could not
// be opened, and the line under "Verbindung unterbrochen !" that says what to check.
// The link itself only reports a kind, an errno, the device and its owning group.
// UTF-8, German like every line a user reads.

#include <chrono>
#include <string>

#include "link/serial_link.h"

namespace trv810::transfer::texts {

/// One sentence on why `failure` happened, e.g. "Das Gerät /dev/ttyUSB0 gibt es
/// nicht." or, for permission denied, which group to join. Empty when nothing failed.
std::string openFailureReason(const link::OpenFailure& failure);

/// What is wrong with `address`, a text meant as a network address that does not
/// parse, e.g. "In der Adresse socket://host fehlt die Portnummer (HOST:PORT)."
std::string addressProblem(const std::string& address);

/// The unit did not answer on `port` (opened as `device`): what to check.
std::string noAnswerAdvice(const std::string& port, const std::string& device);

/// The unit on `port` kept answering, but the transfer did not end within its time
/// limit `limit`: what to do next.
std::string timeLimitAdvice(const std::string& port, const std::string& device, std::chrono::milliseconds limit);

/// The device behind `port` went away while the transfer ran; for a network address,
/// the connection to its server, named with host and port.
std::string deviceGone(const std::string& port, const std::string& device);

}  // namespace trv810::transfer::texts
