#pragma once
// Every text that the configuration window and its file commands show, in one place.
// These are the program's own texts, in UTF-8.

#include <cstddef>
#include <string>
#include <string_view>

namespace trv810::config::texts {

inline constexpr std::string_view kWindowCaption = "TRV810-Konfiguration";
/// Caption of the form's validation messages: a blank, not the hyphen.
inline constexpr std::string_view kValidationCaption = "TRV810 Konfiguration";

// Configuration files.
inline constexpr std::string_view kFileNotFound = "Datei nicht vorhanden !";
/// The line under kFileNotFound for a file that is there but cannot be opened (no
/// permission, a folder, a FIFO, a loop of links), before the system's reason.
inline constexpr std::string_view kCannotOpenReason = "nicht zu öffnen: ";
inline constexpr std::string_view kOlderFileQuestion =
    "Veraltete Konfigurationsdatei. Nicht unterstützte Eingabefelder werden mit Defaultdaten "
    "geladen. Trotzdem laden ?";
inline constexpr std::string_view kInvalidFile = "Ungültige Datei !";
inline constexpr std::string_view kUnknownFileFormat = "Unbekanntes Dateiformat";
inline constexpr std::string_view kFileError = "Dateifehler";
inline constexpr std::string_view kChecksumError = "Checksummen Fehler !";
inline constexpr std::string_view kSaveFailed = "Datei konnte nicht gespeichert werden !";
inline constexpr std::string_view kFileFilterName = "Konfig.-Files (*.kfg)";
inline constexpr std::string_view kFileFilterPattern = "*.kfg";
inline constexpr std::string_view kFileSuffix = "kfg";

// Validation of the form (readForm's result codes). [general-field]: a general
// field's label, message and allowed-values line are here; its row names them.
inline constexpr std::string_view kAddressError = "Adress-Fehler bei ";
inline constexpr std::string_view kSequenceError = "Syntaxfehler der Signalfolge bei ";
inline constexpr std::string_view kRowSuffixFormat = "Adresse %d";
inline constexpr std::string_view kNoBaudRate = "Baudrate auswählen !";
inline constexpr std::string_view kSwitchOnTimeError = "Fehler: Einschaltzeit K";  // and 3..10
inline constexpr std::string_view kManualSequenceError = "Syntaxfehler der Signalfolge Handauslösung";
inline constexpr std::string_view kDeadTimeError = "Fehler: Totzeit";
inline constexpr std::string_view kAlarmIntervalError = "Fehler: Alarmabstand";
inline constexpr std::string_view kIdentError = "Fehler: Ident-Nr.";
// The line under each of them: what the field admits.
inline constexpr std::string_view kAddressHint = "Erlaubt sind Adressen von 8 bis 2047993 (nur Ziffern).";
inline constexpr std::string_view kSequenceHint =
    "Erlaubt sind ONnn, OFFnn, Rnn und Hnnzz mit nn von 00 bis 60 und zz von 00 bis 99, "
    "durch Kommas getrennt, höchstens 18 Bytes (H zählt zwei), z. B. ON05,OFF10,H0512,R03.";
inline constexpr std::string_view kBaudRateHint = "Wählen Sie 512 oder 1200.";
inline constexpr std::string_view kSwitchOnTimeHint = "Erlaubt sind 1 bis 65000 s.";
inline constexpr std::string_view kSecondsHint = "Erlaubt sind 1 bis 254 s.";
inline constexpr std::string_view kIdentHint = "Erlaubt sind höchstens 16 Zeichen.";

// Closing the window, reading the unit or loading a file while the form holds edits
// that were neither saved nor programmed. "Nein" is the default answer of each.
inline constexpr std::string_view kUnsavedQuestion =
    "Die Änderungen sind nicht gespeichert. Fenster trotzdem schließen ?";
inline constexpr std::string_view kReadQuestion =
    "Die Änderungen sind nicht gespeichert. Konfiguration trotzdem auslesen ?";
inline constexpr std::string_view kLoadQuestion = "Die Änderungen sind nicht gespeichert. Datei trotzdem laden ?";

// The status line beside the progress bar: what a transfer does, then how long it has
// been at it ("0:03"); while the unit gets the request again, which attempt it is.
inline constexpr std::string_view kWaitingForUnit = "Warte auf Antwort des TRV810...";
inline constexpr std::string_view kReadingStatus = "Konfiguration lesen...";
inline constexpr std::string_view kErasingStatus = "Flash löschen...";
inline constexpr std::string_view kWritingStatus = "Konfiguration schreiben...";
inline constexpr std::string_view kAttemptFormat = "Versuch %d von %d";
// A paste that an edit refuses as a whole, in the status line; the field's allowed
// values follow where it has a short line for them.
inline constexpr std::string_view kPasteTooLong = "Nicht eingefügt: höchstens %d Zeichen.";
inline constexpr std::string_view kPasteNotDigits = "Nicht eingefügt: nur Ziffern.";
inline constexpr std::string_view kPasteNotWindows1252 = "Nicht eingefügt: Zeichen, die der TRV810 nicht speichern kann.";

// The configuration window: port and thread failures, the end of a transfer, titles.
inline constexpr std::string_view kPortOpenFailed = "Port %s konnte nicht geöffnet werden !";
inline constexpr std::string_view kThreadStartFailed = "Programmstart nicht möglich !";
inline constexpr std::string_view kResultCaption = "TRV810";
inline constexpr std::string_view kUploadCaption = "TRV810-Upload";
inline constexpr std::string_view kNoAnswer = "Verbindung unterbrochen !";
inline constexpr std::string_view kEraseFailed = "Fehler beim Flashlöschen !";
inline constexpr std::string_view kBlockFailed = "Fehler beim Konfigurations-Update !";
inline constexpr std::string_view kProgrammed = "Programmierung erfolgreich !";
inline constexpr std::string_view kIncompatible =
    "TRV810-Firmware nicht kompatibel ! Aktualisieren Sie auf mindestens Version 1.7 !";
inline constexpr std::string_view kInvalidImage = "TRV810-Konfiguration ungültig !";
inline constexpr std::string_view kReadDone = "Konfiguration gelesen !";
inline constexpr std::string_view kOlderFirmware =
    "Veraltete HBX2-Firmware! Nicht unterstützte Eingabefelder werden mit Defaultdaten geladen.";
inline constexpr std::string_view kFirmwareTitleFormat = "TRV810-Konfiguration, Firmware %.2d.%.2d";
/// The title once the connection broke off: a blank, not the hyphen, after "TRV810".
inline constexpr std::string_view kUnknownFirmwareTitle = "TRV810 Konfiguration, Firmware ????";

// The configuration window's layout.
inline constexpr std::string_view kAddressGroup = "Adressen/Auslösungen";
inline constexpr std::string_view kHeadingRow = "Adr.-Nr.";
inline constexpr std::string_view kHeadingActive = "aktiv";
inline constexpr std::string_view kHeadingAddress = "Adresse";
inline constexpr std::string_view kHeadingSiren = "Sirenen-Relais";
inline constexpr std::string_view kHeadingSequence = "Taktfolge";
inline constexpr std::string_view kGeneralGroup = "Diverses";
inline constexpr std::string_view kBaudRateLabel = "POCSAG-Baudrate";
inline constexpr std::string_view kSwitchOnTimeLabel = "Einschaltzeit K";  // and 3..10
inline constexpr std::string_view kSecondsUnit = "s";
inline constexpr std::string_view kManualSequenceLabel = "Signalfolge Handauslösung";
inline constexpr std::string_view kDeadTimeLabel = "Totzeit";
inline constexpr std::string_view kAlarmIntervalLabel = "Alarmabstand";
inline constexpr std::string_view kIdentLabel = "Ident-Nr.";
/// The manual trigger's relays as one field, where a list names them (`show`).
inline constexpr std::string_view kManualRelaysLabel = "Relais Handauslösung";
// The commands, each with its accelerator after the "&" (shown underlined), which
// Alt and the letter press: letters that neither collide with each other nor with
// the menu's T, K and I. A letter typed alone starts nothing.
inline constexpr std::string_view kProgramButton = "TRV &programmieren";
inline constexpr std::string_view kReadButton = "TRV &auslesen";
inline constexpr std::string_view kLoadButton = "Datei &laden";
inline constexpr std::string_view kSaveButton = "In Datei &sichern";
inline constexpr std::string_view kCancelButton = "A&bbrechen";

// Reading a configuration's JSON document: what is wrong with a value, after its path.
inline constexpr std::string_view kJsonNotAnObjectDocument = "das Dokument ist kein JSON-Objekt";
inline constexpr std::string_view kJsonExpectsObject = "erwartet ein Objekt";
inline constexpr std::string_view kJsonUnknownField = "unbekanntes Feld";
inline constexpr std::string_view kJsonMissingField = "Feld fehlt";
inline constexpr std::string_view kJsonExpectsBoolean = "erwartet true oder false";
inline constexpr std::string_view kJsonExpectsText = "erwartet einen Text";
inline constexpr std::string_view kJsonExpectsTextOrNull = "erwartet einen Text oder null";
inline constexpr std::string_view kJsonExpectsInteger = "erwartet eine ganze Zahl";
inline constexpr std::string_view kJsonZeroCharacter = "Text mit Nullzeichen";
inline std::string jsonNotWindows1252(std::size_t offset) {
  return "Zeichen ohne Windows-1252-Code an Byte " + std::to_string(offset);
}
inline constexpr std::string_view kJsonExpectsFunction = "erwartet \"A\", \"B\", \"C\" oder \"D\"";
inline constexpr std::string_view kJsonExpectsStoredAddress = "erwartet die Ziffern einer Adresse oder \"\"";
inline constexpr std::string_view kJsonExpectsBaudRate = "erwartet 512 oder 1200";
inline constexpr std::string_view kJsonExpectsReservedFlags = "erwartet eine Zahl von 0 bis 127";
inline constexpr std::string_view kJsonExpectsFormat = "erwartet 1, 2 oder 3";
inline std::string jsonExpectsRows(int rows) { return "erwartet eine Liste von " + std::to_string(rows) + " Zeilen"; }
// A text that is no JSON at all, with where the parser stopped.
inline std::string jsonPosition(long line, std::size_t column) {
  return "Zeile " + std::to_string(line) + ", Spalte " + std::to_string(column);
}
inline std::string jsonInvalid(const std::string& why) { return "kein gültiges JSON (" + why + ")"; }
inline constexpr std::string_view kJsonNumberOutOfRange = "Zahl außerhalb des Wertebereichs";
inline constexpr std::string_view kJsonZeroByte = ": Nullbyte";
inline std::string jsonTooDeep(int levels) { return ": mehr als " + std::to_string(levels) + " Ebenen verschachtelt"; }
inline std::string jsonDuplicateKey(const std::string& key) { return "Feld \"" + key + "\" doppelt in einem Objekt"; }

// The signal-sequence dialog.
inline constexpr std::string_view kSignalBoxTitle = "Taktfolge...";
inline constexpr std::string_view kSignalBoxOk = "OK";
inline constexpr std::string_view kSignalBoxCancel = "CANCEL";

}  // namespace trv810::config::texts
