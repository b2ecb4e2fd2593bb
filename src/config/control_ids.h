#pragma once
// Identifiers of the configuration window's controls. The form's logic, the window's
// layout table and the Qt layer reach every control through these numbers; each id
// from 0 to 133 belongs to exactly one control. k is the visible line 0 to 7, j the
// relay K(3+j), 0 to 7.

namespace trv810::config::ids {

inline constexpr int kVisibleLines = 8;

// [row-column]: each column's controls; its entry in row_columns.h names the first.
inline constexpr int kRowNumber = 0;  ///< + k: static "%d"
inline constexpr int kActive = 8;     ///< + k: toggle
inline constexpr int kAddress = 16;   ///< + 2k: edit, digits only
inline constexpr int kFunction = 17;  ///< + 2k: list "A".."D"
inline constexpr int kSiren = 32;     ///< + k: toggle
inline constexpr int kSequence = 40;  ///< + k: edit
inline constexpr int kRelay = 48;     ///< + 8j + k: toggle
inline constexpr int kScrollBar = 112;
// [general-field]: each general field's control; its row in general_fields.cpp names it.
inline constexpr int kBaudRate = 113;      ///< list "512", "1200"
inline constexpr int kSwitchOnTime = 114;  ///< + j: edit, digits only
inline constexpr int kManualSequence = 122;
inline constexpr int kDeadTime = 123;
inline constexpr int kAlarmInterval = 124;
inline constexpr int kManualRelay = 125;  ///< + j: toggle
inline constexpr int kIdent = 133;
inline constexpr int kLastFieldId = 133;

inline constexpr int kProgram = 150;  ///< "TRV programmieren"
inline constexpr int kRead = 151;     ///< "TRV auslesen"
inline constexpr int kLoad = 152;     ///< "Datei laden"
inline constexpr int kSave = 153;     ///< "In Datei sichern"
inline constexpr int kCancel = 154;   ///< "Abbrechen"
inline constexpr int kStatus = 160;   ///< static beside the progress bar: what a transfer does

constexpr int rowNumber(int k) { return kRowNumber + k; }
constexpr int active(int k) { return kActive + k; }
constexpr int address(int k) { return kAddress + 2 * k; }
constexpr int function(int k) { return kFunction + 2 * k; }
constexpr int siren(int k) { return kSiren + k; }
constexpr int sequence(int k) { return kSequence + k; }
constexpr int relay(int j, int k) { return kRelay + 8 * j + k; }
constexpr int switchOnTime(int j) { return kSwitchOnTime + j; }
constexpr int manualRelay(int j) { return kManualRelay + j; }

/// Entries of the list controls.
inline constexpr int kFunctionEntries = 4;
inline constexpr int kBaudEntries = 2;

}  // namespace trv810::config::ids
