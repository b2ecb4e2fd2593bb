#pragma once
// Every text that the configuration window and its file commands show, in one place.
// These are the program's own texts, in UTF-8.

#include <string_view>

namespace trv810::config::texts {

inline constexpr std::string_view kWindowCaption = "TRV810-Konfiguration";
/// Caption of the form's validation messages: a blank, not the hyphen.
inline constexpr std::string_view kValidationCaption = "TRV810 Konfiguration";

// Configuration files.
inline constexpr std::string_view kFileNotFound = "Datei nicht vorhanden !";
inline constexpr std::string_view kOlderFileQuestion =
    "Veraltete Konfigurationsdatei. Nicht unterstüzte Eingabefelder werden mit Defaultdaten "
    "geladen. Trotzdem laden ?";
inline constexpr std::string_view kInvalidFile = "Ungültige Datei !";
inline constexpr std::string_view kUnknownFileFormat = "Unbekanntes Dateiformat";
inline constexpr std::string_view kFileError = "Dateifehler";
inline constexpr std::string_view kChecksumError = "Checksummen Fehler !";
inline constexpr std::string_view kSaveFailed = "Datei konnte nicht gespeichert werden !";
inline constexpr std::string_view kFileFilterName = "Konfig.-Files (*.kfg)";
inline constexpr std::string_view kFileFilterPattern = "*.kfg";
inline constexpr std::string_view kFileSuffix = "kfg";

// Validation of the form (readForm's result codes).
inline constexpr std::string_view kAddressError = "Adress-Fehler bei ";
inline constexpr std::string_view kSequenceError = "Syntaxfehler der Signalfolge bei ";
inline constexpr std::string_view kRowSuffixFormat = "Adresse %d";
inline constexpr std::string_view kNoBaudRate = "Baudrate auswählen !";
inline constexpr std::string_view kSwitchOnTimeError = "Fehler: Einschaltzeit K";  // and 3..10
inline constexpr std::string_view kManualSequenceError = "Syntaxfehler der Signalfolge Handauslösung";
inline constexpr std::string_view kDeadTimeError = "Fehler: Totzeit";
inline constexpr std::string_view kAlarmIntervalError = "Fehler: Alarmabstand";
inline constexpr std::string_view kIdentError = "Fehler: Ident-Nr.";

}  // namespace trv810::config::texts
