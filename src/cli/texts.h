#pragma once
// trv810ctl's own sentences for network ports and for several units at once. The
// windows' texts that the commands share are in each window's texts file; the reasons
// a port could not be opened are in transfer/texts.h. UTF-8.

#include <string>
#include <string_view>

namespace trv810::cli::texts {

/// The help's paragraph on network addresses, ending with a line break.
inline constexpr const char* kNetworkPortsHelp =
    "Netzwerk: socket://HOST:PORT (oder tcp://) für einen seriellen Geräteserver mit\n"
    "roher TCP-Verbindung, rfc2217://HOST:PORT für Telnet mit COM-Port-Steuerung.\n";

inline constexpr std::string_view kSeveralPortsNotHere =
    "mehrere Ports gehen nur bei read, write, flash und diff --unit";
inline constexpr std::string_view kEmptyPort = "leerer Eintrag in der Portliste";
inline constexpr std::string_view kReadNeedsPlaceholder =
    "mit mehreren Ports braucht der Dateiname {port}, z. B. anlage-{port}.kfg";
inline constexpr std::string_view kDiffNeedsOneUnitSide = "mit mehreren Ports genau eine Seite --unit";

inline std::string portTwice(const std::string& port) { return "Port " + port + " ist mehrfach angegeben"; }
inline std::string sameDevice(const std::string& a, const std::string& b, const std::string& device) {
  return a + " und " + b + " sind dasselbe Gerät (" + device + ")";
}
inline std::string sameFile(const std::string& a, const std::string& b, const std::string& file) {
  return a + " und " + b + " ergeben denselben Dateinamen " + file;
}

/// The words of a unit's result in the summary, by its exit status.
inline constexpr std::string_view kSucceeded = "erfolgreich";
inline constexpr std::string_view kFailed = "fehlgeschlagen";
inline constexpr std::string_view kStopped = "abgebrochen";
inline constexpr std::string_view kEqual = "gleich";
inline constexpr std::string_view kDifferent = "verschieden";
inline constexpr std::string_view kUnreadable = "nicht lesbar";

/// The combined progress line: a unit still opening its port, and one that ended.
inline constexpr std::string_view kOpening = "öffnet";
inline constexpr std::string_view kDone = "fertig";

/// "4 Geräte: " before the counts of each result word.
inline std::string unitCount(std::size_t n) { return std::to_string(n) + " Geräte: "; }
/// After Ctrl-C: which units had finished.
inline constexpr std::string_view kStoppedFinished = "Mit Strg-C abgebrochen; fertig waren: ";
inline constexpr std::string_view kStoppedNoneFinished = "Mit Strg-C abgebrochen; fertig war keines.";

}  // namespace trv810::cli::texts
