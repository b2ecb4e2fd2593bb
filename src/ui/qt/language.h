#pragma once
// The program speaks German: Qt's own dialogs and buttons ("Speichern unter", "Ja",
// "Nein", "Abbrechen") take Qt's German translation, and numbers and dates the German
// locale.

class QCoreApplication;

namespace trv810::ui {

/// Installs Qt's German translation into `application` and makes German the default
/// locale. The translation is looked for beside the program first (a program
/// installed with its own copy), then where Qt keeps its translations. False when it
/// was not found: Qt's dialogs then stay English.
bool useGerman(QCoreApplication& application);

}  // namespace trv810::ui
