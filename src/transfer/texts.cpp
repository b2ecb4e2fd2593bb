#include "transfer/texts.h"

#include <cerrno>

#include "platform/error_text.h"

namespace trv810::transfer::texts {
namespace {

// "COM5 (/dev/ttyUSB0)", or the path alone where the port was given as one.
std::string portAndDevice(const std::string& port, const std::string& device) {
  return device.empty() || device == port ? port : port + " (" + device + ")";
}

}  // namespace

std::string openFailureReason(const link::OpenFailure& f) {
  using link::OpenFailureKind;
  switch (f.kind) {
    case OpenFailureKind::None:
      return {};
    case OpenFailureKind::Missing:
      if (f.error == ENOENT || f.error == 0) return "Das Gerät " + f.device + " gibt es nicht.";
      return "Hinter " + f.device + " steht keine serielle Schnittstelle.";
    case OpenFailureKind::PermissionDenied:
      if (f.group.empty() || f.group == "root") return "Keine Berechtigung für " + f.device + ".";
      return "Keine Berechtigung für " + f.device + ": treten Sie der Gruppe " + f.group +
             " bei (sudo usermod -aG " + f.group + " $USER, danach neu anmelden).";
    case OpenFailureKind::InUse:
      if (f.error == EALREADY) return f.device + " ist bereits geöffnet.";
      return f.device + " wird von einem anderen Programm benutzt.";
    case OpenFailureKind::NotSerial:
      return f.device + " ist kein serielles Gerät; es wurde nichts hineingeschrieben.";
    case OpenFailureKind::ThreadFailed:
      return "Der Empfänger für " + f.device + " konnte nicht gestartet werden.";
    case OpenFailureKind::Other:
      break;
  }
  return f.device + " lässt sich nicht öffnen: " + platform::errorText(f.error) + ".";
}

std::string noAnswerAdvice(const std::string& port, const std::string& device) {
  return "Keine Antwort vom TRV810 an " + portAndDevice(port, device) +
         ": prüfen Sie das Kabel, die Stromversorgung des TRV810 und ob der richtige Port gewählt ist.";
}

std::string timeLimitAdvice(const std::string& port, const std::string& device, std::chrono::milliseconds limit) {
  const auto seconds = std::chrono::round<std::chrono::seconds>(limit).count();
  return "Der TRV810 an " + portAndDevice(port, device) + " antwortet, doch die Übertragung kam in " +
         std::to_string(seconds) + " s nicht zu Ende: schalten Sie den TRV810 aus und wieder ein und versuchen Sie "
         "es erneut.";
}

std::string deviceGone(const std::string& port, const std::string& device) {
  return "Das Gerät an " + portAndDevice(port, device) +
         " ist während der Übertragung verschwunden: Kabel oder USB-Adapter abgezogen ?";
}

}  // namespace trv810::transfer::texts
