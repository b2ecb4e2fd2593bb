#pragma once
// Every text that the flash-update window shows, in one place. These are the
// program's own texts, in UTF-8.

#include <string>
#include <string_view>

namespace trv810::firmware::texts {

// What was wrong with a firmware file, after where it was ("Zeile 3, Spalte 12: ").
inline constexpr const char* kLoadLine = "Zeile ";
inline constexpr const char* kLoadColumn = ", Spalte ";
inline constexpr std::string_view kLoadNoError = "kein Fehler";
inline constexpr std::string_view kLoadBadExtension = "der Dateiname muss auf .hex, .HEX, .bin oder .BIN enden";
inline constexpr std::string_view kLoadCannotOpen = "nicht zu öffnen: ";  // and the system's reason
inline constexpr std::string_view kLoadCannotRead = "nicht zu lesen: ";
inline constexpr std::string_view kLoadTooLarge = "die Binärdatei ist größer als der Flash-Puffer von 2 MiB";
inline constexpr std::string_view kLoadEmptyImage = "die Datei ist leer (0 Bytes) und enthält keine Firmware";
inline constexpr std::string_view kLoadNoLineEnd = "kein CR LF innerhalb von 600 Zeichen";
inline constexpr std::string_view kLoadEndInsideLine = "die Datei endet mitten in der Zeile, vor ihrem CR LF";
inline constexpr std::string_view kLoadBareLineFeed =
    "die Zeile endet mit LF ohne CR davor (HEX-Zeilen enden mit CR LF)";
inline std::string loadNoColon(const std::string& character) {
  return "die Zeile beginnt mit " + character + " statt mit ':'";
}
inline std::string loadBadDigit(const std::string& character) {
  return character + " ist keine Hex-Ziffer (erlaubt: 0-9 und A-F, groß)";
}
inline constexpr std::string_view kLoadBadChecksum = "mit dem Prüfbyte ergibt die Summe der Zeile nicht 0";
inline constexpr std::string_view kLoadTooShort = "der Datensatz hat weniger als vier Bytes";
inline std::string loadShortRecord(const std::string& type) {
  return "der Datensatz vom Typ " + type + " hat zu wenige Datenbytes";
}
inline std::string loadBadType(const std::string& type) { return "nicht unterstützter Datensatztyp " + type; }
inline constexpr std::string_view kLoadNoEndRecord = "die Datei endet ohne den Ende-Datensatz :00000001FF";
inline constexpr std::string_view kLoadBlankImage = "das Abbild enthält nur Bytes mit 0xFF";
inline constexpr std::string_view kLoadUnknownError = "unbekannter Fehler";

inline constexpr std::string_view kWindowTitle = "Flash-Update";
/// Caption of every message box of the window.
inline constexpr std::string_view kCaption = "TRV810-Update";

// The controls.
// Buttons with their accelerators after the "&" (shown underlined), which Alt and
// the letter press; a letter typed alone starts nothing.
inline constexpr std::string_view kHexFileButton = "&Hex-Datei";
inline constexpr std::string_view kNoFile = "----------";
inline constexpr std::string_view kProgramButton = "&Programmieren";
inline constexpr std::string_view kStopButton = "&Stop";
inline constexpr std::string_view kNoStatus = "-";

// The file dialog: firmware files first, then the configuration files the program's
// shared filter list also offers.
inline constexpr std::string_view kFlashFilterName = "Flash Files (*.hex)";
inline constexpr std::string_view kFlashFilterPatterns = "*.hex *.HEX *.bin *.BIN";
inline constexpr std::string_view kConfigFilterName = "Konfig.-Files (*.kfg)";
inline constexpr std::string_view kConfigFilterPatterns = "*.kfg";

// The status line: what the transfer does, and under it how far it has come.
inline constexpr std::string_view kErasing = "Flash löschen...";
/// Under kErasing: how long the erase has taken; a second sending of the request
/// means the unit did not answer the first.
inline constexpr std::string_view kErasingSince = "seit %s";
inline constexpr std::string_view kErasingAttempt = "Versuch %d von %d, seit %s";
inline constexpr std::string_view kProgressFormat = "%d von %d Blöcken programmiert !";
/// Under kProgressFormat: the share done and, once the pace is known, the time left.
inline constexpr std::string_view kPercentFormat = "%d %%";
inline constexpr std::string_view kPercentLeftFormat = "%d %%, noch %s";
inline constexpr std::string_view kStopped = "Programmierung abgebrochen !";
inline constexpr std::string_view kFailed = "Programmierung fehlgeschlagen !";
/// The line under kStopped or kFailed, and under the question before closing, for
/// every programming that did not finish: the one wording of what it leaves.
inline constexpr std::string_view kFirmwareIncomplete =
    "Firmware unvollständig: vor Gebrauch neu flashen !";
inline constexpr std::string_view kFinished = "Programmierung beendet.";

// Warnings after a load, in the status line.
/// HEX data that lay outside the image: the count and "Byte" or "Bytes".
inline constexpr std::string_view kBytesLeftOutFormat = "Warnung: %llu %s der HEX-Datei außerhalb des Abbilds weggelassen !";
inline constexpr std::string_view kRawLooksLikeHex =
    "Warnung: die Binärdatei enthält HEX-Text und wird unverändert gesendet !";

// Message boxes.
inline constexpr std::string_view kInvalidFile = "Ungültiges Dateiformat!";
/// A HEX file loaded, but its raw copy beside it could not be written; under it the
/// file and the reason.
inline constexpr std::string_view kRawCopyNotWritten = "Binärkopie nicht geschrieben !";
/// The window's line after the reason: the loaded image is not affected.
inline constexpr std::string_view kRawCopyImageLoaded = "Die Firmware ist geladen und kann programmiert werden.";
/// Closing the window while the unit is being programmed; kFirmwareIncomplete under
/// it. "Nein" is its default answer.
inline constexpr std::string_view kCloseWhileProgramming =
    "Der TRV810 wird gerade programmiert. Programmierung abbrechen und Fenster schließen ?";
inline constexpr std::string_view kPortOpenFailed = "Port %s konnte nicht geöffnet werden !";
inline constexpr std::string_view kThreadStartFailed = "Programmstart nicht möglich !";
/// An image whose block count does not fit the 16 bits the unit is told it in.
inline constexpr std::string_view kImageTooLarge =
    "Firmware zu groß: %u Bytes. Programmiert werden können höchstens %u Bytes (65535 Blöcke) !";
inline constexpr std::string_view kNoAnswer = "Verbindung unterbrochen !";
inline constexpr std::string_view kEraseFailed = "Fehler beim Flashlöschen !";
inline constexpr std::string_view kBlockFailed = "Fehler beim Programm-Update !";
inline constexpr std::string_view kProgrammed = "Programmierung erfolgreich !";
/// The unit refused the opening request: its firmware does not take this update.
inline constexpr std::string_view kIncompatible = "Firmware nicht kompatibel ! Der TRV810 hat das Update abgelehnt.";

}  // namespace trv810::firmware::texts
