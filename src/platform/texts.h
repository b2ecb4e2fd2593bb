#pragma once
// The words of the operating system's errors as the program shows them, in German like
// every other line a user reads (UTF-8). error_text.cpp picks them by error number.

#include <string>
#include <string_view>

namespace trv810::platform::texts {

inline constexpr std::string_view kNoEntry = "Datei oder Verzeichnis nicht vorhanden";
inline constexpr std::string_view kNoPermission = "Keine Berechtigung";
inline constexpr std::string_view kIsDirectory = "Ist ein Verzeichnis";
inline constexpr std::string_view kNotDirectory = "Ein Teil des Pfads ist kein Verzeichnis";
inline constexpr std::string_view kNoSpace = "Kein Platz mehr auf dem Datenträger";
inline constexpr std::string_view kQuota = "Speicherkontingent überschritten";
inline constexpr std::string_view kReadOnlyFileSystem = "Dateisystem ist nur lesbar";
inline constexpr std::string_view kExists = "Datei existiert bereits";
inline constexpr std::string_view kNameTooLong = "Dateiname zu lang";
inline constexpr std::string_view kLinkLoop = "Zu viele symbolische Verknüpfungen";
inline constexpr std::string_view kTooManyFiles = "Zu viele offene Dateien";
inline constexpr std::string_view kInputOutput = "Ein- und Ausgabefehler";
inline constexpr std::string_view kBusy = "Gerät oder Ressource belegt";
inline constexpr std::string_view kNoDeviceOrAddress = "Gerät oder Adresse nicht vorhanden";
inline constexpr std::string_view kNoDevice = "Gerät nicht vorhanden";
inline constexpr std::string_view kFileTooLarge = "Datei zu groß";
inline constexpr std::string_view kNoMemory = "Nicht genügend Speicher";
inline constexpr std::string_view kInvalidArgument = "Ungültiges Argument";
inline constexpr std::string_view kTryAgain = "Ressource vorübergehend nicht verfügbar";
inline constexpr std::string_view kConnectionRefused = "Verbindung abgelehnt";
inline constexpr std::string_view kConnectionReset = "Verbindung vom Gegenüber zurückgesetzt";
inline constexpr std::string_view kConnectionAborted = "Verbindung abgebrochen";
inline constexpr std::string_view kBrokenPipe = "Verbindung getrennt";
inline constexpr std::string_view kTimedOut = "Zeitüberschreitung";
inline constexpr std::string_view kHostUnreachable = "Rechner nicht erreichbar";
inline constexpr std::string_view kNetworkUnreachable = "Netz nicht erreichbar";
inline constexpr std::string_view kNetworkDown = "Netz ausgefallen";
inline constexpr std::string_view kHostDown = "Rechner ausgeschaltet";
inline constexpr std::string_view kFileBusy = "Datei wird gerade benutzt";
inline std::string otherSystemError(int error, const char* systemText) {
  return "Systemfehler " + std::to_string(error) + " (" + systemText + ")";
}

inline constexpr std::string_view kReadOnly = "Datei ist schreibgeschützt";
// A path that is not a regular file: kNotAFile, then what it is instead.
inline constexpr std::string_view kNotAFile = "keine gewöhnliche Datei";
inline constexpr std::string_view kButADirectory = ", sondern ein Verzeichnis";
inline constexpr std::string_view kButAFifo = ", sondern eine benannte Pipe (FIFO)";
inline constexpr std::string_view kButASocket = ", sondern ein Socket";
inline constexpr std::string_view kButACharacterDevice = ", sondern ein zeichenorientiertes Gerät";
inline constexpr std::string_view kButABlockDevice = ", sondern ein blockorientiertes Gerät";

}  // namespace trv810::platform::texts
