#include "transfer/texts.h"

#include <cerrno>

#include "platform/error_text.h"
#include "platform/network_address.h"
#include "platform/network_device.h"

namespace trv810::transfer::texts {
namespace {

// "COM5 (/dev/ttyUSB0)", or the path alone where the port was given as one.
std::string portAndDevice(const std::string& port, const std::string& device) {
  return device.empty() || device == port ? port : port + " (" + device + ")";
}

// "HOST:PORT" of a network address, or the text as it is where it does not parse.
std::string server(const std::string& device) {
  const platform::AddressParse parsed = platform::parseNetworkAddress(device);
  return parsed.address ? parsed.address->hostAndPort() : device;
}

// The sentence on a network address that could not be opened, for the kinds only
// a network address has; empty for the others.
std::string networkReason(const link::OpenFailure& f) {
  using link::OpenFailureKind;
  const std::string at = "Der Server unter " + server(f.device);
  const std::string asRaw = "; ist er ein roher TCP-Server, nehmen Sie socket://" + server(f.device) + ".";
  switch (f.kind) {
    case OpenFailureKind::BadAddress:
      return addressProblem(f.device);
    case OpenFailureKind::UnknownHost: {
      const platform::AddressParse parsed = platform::parseNetworkAddress(f.device);
      const std::string host = parsed.address ? parsed.address->host : f.device;
      if (f.error == EAGAIN)
        return "Der Rechnername " + host + " lässt sich gerade nicht auflösen: der Namensdienst ist nicht erreichbar.";
      return "Den Rechnernamen " + host + " gibt es nicht: prüfen Sie die Schreibweise.";
    }
    case OpenFailureKind::Refused:
      return "Unter " + server(f.device) +
             " nimmt niemand Verbindungen an: läuft der Server, und stimmt die Portnummer ?";
    case OpenFailureKind::Unreachable:
      if (f.error == ETIMEDOUT)
        return server(f.device) + " antwortet nicht: prüfen Sie die Adresse, das Netz und die Firewall.";
      return server(f.device) + " ist nicht erreichbar: " + platform::errorText(f.error) + ".";
    case OpenFailureKind::ClosedAtOnce:
      return at + " hat die Verbindung sofort wieder geschlossen" +
             (f.note.empty() ? std::string(".") : ": \"" + f.note + "\".") + " Ist seine serielle Schnittstelle frei ?";
    case OpenFailureKind::NotRfc2217:
      if (f.error == platform::kTelnetRefused) return at + " lehnt die COM-Port-Steuerung (RFC 2217) ab" + asRaw;
      if (f.error == platform::kTelnetUnfinished) return at + " hat die Leitungseinstellungen nicht rechtzeitig bestätigt.";
      return at + " antwortet nicht auf Telnet mit COM-Port-Steuerung (RFC 2217)" + asRaw;
    case OpenFailureKind::LineRefused:
      return at + " stellt 19200 Baud, 8 Datenbits, keine Parität und 1 Stoppbit ohne Flusssteuerung nicht ein.";
    case OpenFailureKind::TelnetGarbage:
      return at + " sendet ungültige Telnet-Befehle" + asRaw;
    case OpenFailureKind::TelnetEndless:
      return at + " hört nicht auf, Telnet-Optionen zu verhandeln.";
    default:
      return {};
  }
}

}  // namespace

std::string addressProblem(const std::string& address) {
  const platform::AddressParse parsed = platform::parseNetworkAddress(address);
  const std::string in = " in der Adresse " + address;
  switch (parsed.problem) {
    case platform::AddressProblem::None:
      return {};
    case platform::AddressProblem::UnknownScheme:
      if (parsed.part.empty())
        return "Die Adresse fehlt: möglich sind socket://HOST:PORT, tcp://HOST:PORT und rfc2217://HOST:PORT.";
      return parsed.part + " ist keine bekannte Adressart: möglich sind socket://HOST:PORT, tcp://HOST:PORT und "
                           "rfc2217://HOST:PORT.";
    case platform::AddressProblem::MissingHost:
      return "Der Rechner fehlt" + in + " (HOST:PORT).";
    case platform::AddressProblem::MissingPort:
      return "Die Portnummer fehlt" + in + " (HOST:PORT; eine IPv6-Adresse in eckigen Klammern: [::1]:4001).";
    case platform::AddressProblem::PortNotNumber:
      return "Die Portnummer " + parsed.part + in + " ist keine Zahl.";
    case platform::AddressProblem::PortOutOfRange:
      return "Die Portnummer " + parsed.part + in + " liegt nicht zwischen 1 und 65535.";
    case platform::AddressProblem::TrailingText:
      return "Auf die Portnummer folgt noch " + parsed.part + in + ".";
  }
  return {};
}

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
    default:
      return networkReason(f);
  }
  return f.device + " lässt sich nicht öffnen: " + platform::errorText(f.error) + ".";
}

std::string noAnswerAdvice(const std::string& port, const std::string& device) {
  if (platform::isNetworkAddress(device)) {
    const platform::AddressParse parsed = platform::parseNetworkAddress(device);
    const bool raw = parsed.address && parsed.address->protocol == platform::NetworkProtocol::Raw;
    return "Keine Antwort vom TRV810 an " + portAndDevice(port, device) + ": prüfen Sie " +
           (raw ? "die serielle Schnittstelle des Servers (19200 Baud, 8N1, ohne Flusssteuerung), " : "") +
           "das Kabel vom Server zum TRV810 und die Stromversorgung des TRV810.";
  }
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
  if (const platform::AddressParse parsed = platform::parseNetworkAddress(device); parsed.address) {
    return "Die Verbindung zum Server " + parsed.address->host + ", Port " + std::to_string(parsed.address->port) +
           (port == device ? "" : " (" + port + ")") +
           ", ist während der Übertragung abgebrochen: läuft der Server noch, und ist das Netz in Ordnung ?";
  }
  return "Das Gerät an " + portAndDevice(port, device) +
         " ist während der Übertragung verschwunden: Kabel oder USB-Adapter abgezogen ?";
}

}  // namespace trv810::transfer::texts
