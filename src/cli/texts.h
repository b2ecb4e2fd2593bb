#pragma once
// trv810ctl's own sentences: its help, usage errors, what each command prints, its
// progress lines, and those for network ports and several units at once. The
// windows' texts that the commands share are in each window's texts file; the reasons
// a port could not be opened are in transfer/texts.h. UTF-8.

#include <cinttypes>
#include <cstddef>
#include <string>
#include <string_view>

namespace trv810::cli::texts {

// The help.
inline constexpr const char* kHelpHead =
    "Aufruf: trv810ctl [--port PORT] [--quiet] [--trace] BEFEHL [ARGUMENTE]\n"
    "        trv810ctl --help | --version\n\n"
    "Servicewerkzeug für die Alarm- und Sirenensteuerung TRV810.\n\n"
    "Befehle:\n";
/// The options, then the port-naming and network paragraphs (%s%s), then the exit codes.
inline constexpr const char* kHelpTailFormat =
    "\nOptionen:\n"
    "  --port PORT  COM1..COM12 (Vorgabe COM1), ein Gerätepfad oder eine Netzwerkadresse;\n"
    "               mehrmals oder als Liste (A,B,...) für mehrere Geräte zugleich\n"
    "  --quiet      keine Fortschrittsanzeige\n"
    "  --trace      jeden gesendeten und empfangenen Rahmen ausgeben\n\n"
    "%s%s\n"
    "Rückgabewert: 0 Erfolg, 1 Vorgang fehlgeschlagen, 2 falscher Aufruf,\n"
    "130 Übertragung mit Strg-C abgebrochen; bei diff 0 gleich, 1 verschieden,\n"
    "2 eine Seite nicht lesbar.\n";
/// The help's paragraph on port names, one per platform, ending with a line break.
inline constexpr const char* kPortNamingHelpPosix =
    "Ports: COM1-COM4 sind /dev/ttyS0-3, COM5-COM8 /dev/ttyUSB0-3, COM9-COM12\n"
    "/dev/ttyACM0-3; TRV810_COM<n>=GERÄT legt Eintrag n auf ein anderes Gerät.\n";
inline constexpr const char* kPortNamingHelpWin32 =
    "Ports: COM1-COM12 sind die Schnittstellen \\\\.\\COM1 bis \\\\.\\COM12; --port nimmt auch\n"
    "COM13 und höher und \\\\.\\COMn. TRV810_COM<n>=GERÄT legt Eintrag n auf ein anderes Gerät.\n";

// Each command's line in the help.
inline constexpr const char* kPortsSummary = "Portnamen, ihre Geräte und die vorhandenen seriellen Geräte zeigen";
inline constexpr const char* kReadSummary = "Konfiguration des Geräts in eine Datei lesen";
inline constexpr const char* kWriteSummary = "Gerät mit einer Konfigurationsdatei programmieren";
inline constexpr const char* kFlashSummary = "Firmware des Geräts ersetzen (.hex oder .bin)";
inline constexpr const char* kShowSummary = "Konfigurationsdatei auflisten";
inline constexpr const char* kCheckSummary = "Konfigurationsdatei prüfen wie beim Programmieren";
inline constexpr const char* kHex2binSummary = "Firmwaredatei prüfen und ihre Binärkopie schreiben";
inline constexpr const char* kExportSummary = "Konfiguration als JSON ausgeben";
inline constexpr const char* kImportSummary = "JSON prüfen wie beim Programmieren und als .kfg sichern";
inline constexpr const char* kDiffSummary = "zwei Konfigurationen (.kfg, .json, Gerät) vergleichen";

// Calls that are wrong: after "trv810ctl COMMAND: ", then the usage line (kUsageFormat).
/// The command's name, the message, the name again and its arguments.
inline constexpr const char* kUsageFormat = "trv810ctl %s: %s\nAufruf: trv810ctl %s %s\n";
inline constexpr const char* kUnknownGlobalOptionFormat = "trv810ctl: unbekannte Option %s\n";
inline constexpr const char* kUnknownCommandFormat = "trv810ctl: unbekannter Befehl %s\n";
inline std::string unknownOption(const std::string& option) { return "unbekannte Option " + option; }
inline std::string withoutFile(const std::string& option) { return option + " ohne Datei"; }
inline std::string unknownPort(const std::string& port) {
  return "unbekannter Port " + port + " (COM1..COM12, ein Gerätepfad oder eine Netzwerkadresse)";
}
inline constexpr std::string_view kNoFileGiven = "keine Datei angegeben";
inline constexpr std::string_view kOnlyOneFile = "nur eine Datei";
inline constexpr std::string_view kMoreThanOneFile = "mehr als eine Datei angegeben";
inline constexpr std::string_view kNoArguments = "erwartet keine Argumente";
inline constexpr std::string_view kTwoConfigurations = "erwartet zwei Konfigurationen";
inline constexpr std::string_view kJsonAndTarget = "erwartet eine JSON-Datei und eine Zieldatei";

// Failures of the program itself.
inline constexpr std::string_view kOutputNotWritten = "Ausgabe konnte nicht geschrieben werden !";
inline constexpr std::string_view kOutOfMemory = "Nicht genügend Speicher !";
inline constexpr std::string_view kUnitThreadFailed = "Der Ablauf für diesen Port konnte nicht gestartet werden.";

// Files the commands read and write.
inline constexpr const char* kSavedInFormat = "gespeichert in %s\n";
inline std::string savedIn(const std::string& path) { return "gespeichert in " + path; }
inline constexpr const char* kValidFormat = "%s: gültig\n";
/// The line under the older-format question when --yes was not given.
inline constexpr std::string_view kOlderNeedsYes = "Mit --yes wird sie trotzdem geladen.";
inline std::string jsonTooLarge(std::size_t kib) { return "größer als " + std::to_string(kib) + " KiB, keine Konfiguration"; }

// show: a configuration file as the form shows it.
inline constexpr const char* kShowFormatFormat = "Format   %d%s\n";
inline constexpr const char* kShowConverted = " (älter, umgewandelt)";
inline constexpr const char* kShowActiveRows = "Aktive Zeilen";
inline constexpr const char* kShowInactiveRows = "Inaktive Zeilen mit Daten";
inline constexpr const char* kShowRowHeading = "  Nr  Adresse    Fn  K3 K4 K5 K6 K7 K8 K9 K10 Sirene Taktfolge";
inline constexpr const char* kShowNoRows = "  (keine)";
inline constexpr const char* kShowYes = "ja";
inline constexpr const char* kShowNo = "nein";
inline constexpr const char* kShowGeneral = "Allgemeine Einstellungen";
inline constexpr std::string_view kShowNoRelays = "keine";

// Firmware files: flash and hex2bin.
inline constexpr const char* kFirmwareBytesFormat = "%s: %" PRIu32 " Bytes\n";
inline constexpr const char* kImageLengthFormat = "%s: Abbildlänge %" PRIu32 " Bytes (0x%" PRIX32 ")\n";
inline constexpr const char* kRawCopyFormat = "Binärkopie: %s\n";
/// An image too long for the update request: its block count.
inline constexpr const char* kTooManyBlocksFormat =
    "%" PRIu32 " Blöcke zu 8 Bytes; die Update-Anfrage kündigt höchstens 65535 an.";

// Transfers: stopped with Ctrl-C, and a result without a message.
inline std::string stoppedLeaving(const char* whatWasLeft) { return std::string("Abgebrochen; ") + whatWasLeft; }
inline constexpr const char* kNothingRead = "nichts wurde gelesen.";
inline constexpr const char* kBlocksKept = "das Gerät behält die Blöcke, die es schon erhalten hatte.";
inline std::string unexpectedResult(int code) { return "Unerwarteter Ergebniscode " + std::to_string(code); }

// write --verify.
inline std::string verifyOtherFormat(int formatIndex) {
  return "Prüfung fehlgeschlagen: das Gerät lieferte seine Konfiguration im Format " + std::to_string(formatIndex) +
         ", das sich nicht Byte für Byte vergleichen lässt.";
}
inline constexpr std::string_view kVerifyDiffers =
    "Prüfung fehlgeschlagen: die Konfiguration des Geräts weicht vom Geschriebenen ab.";
/// How many bytes differ of how many, the first one's offset, written and read value.
inline constexpr const char* kVerifyDetailFormat =
    "%zu von %zu Bytes verschieden; das erste bei Offset %zu: geschrieben 0x%02X, gelesen 0x%02X";
inline constexpr std::string_view kVerified = "Geprüft: das Gerät enthält die geschriebene Konfiguration.";

// ports.
inline constexpr const char* kPresent = "vorhanden";
inline constexpr const char* kMissing = "fehlt";
inline constexpr const char* kNoPortBehind = "kein Port dahinter";
inline constexpr const char* kNetworkAddress = "Netzwerkadresse";
inline constexpr const char* kPortNamesHeading = "Portnamen:\n";
inline constexpr const char* kDevicesHeading = "\nSerielle Geräte auf diesem Rechner:\n";
inline constexpr const char* kRemapHint = "\nTRV810_COM<n>=GERÄT ordnet dem Portnamen COM<n> ein anderes Gerät zu.\n";

// The progress line of a transfer: percent, blocks done of all, then speed and time left.
inline constexpr const char* kBarBlocksFormat = " %3d%%  %u/%u Blöcke";
inline constexpr const char* kBarSpeedFormat = "  %.1f kB/s  noch %s";
/// A line per quarter where the terminal shows no bar: prefix, percent, blocks.
inline constexpr const char* kQuarterLineFormat = "%s%3d%%  %u/%u Blöcke\n";
inline constexpr const char* kCompleteLineFormat = "%s100%%  %u/%u Blöcke\n";

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
