#pragma once
// The character cell, measured once from the system's fixed-pitch font: width = the
// average character width, height = character height plus external leading.

#include <QFont>

#include "window/layout.h"

namespace trv810::ui {

/// The cell of `font`.
window::CellSize measureCell(const QFont& font);
/// The cell of the system's fixed-pitch font.
window::CellSize measureSystemCell();
/// The dialog-unit base of `font` (the font dialogs show their controls in): the
/// average width of the 52 Latin letters, rounded, and the character height. A
/// horizontal dialog unit is a quarter of the width, a vertical one an eighth of the
/// height.
window::CellSize measureDialogBase(const QFont& font);

}  // namespace trv810::ui
