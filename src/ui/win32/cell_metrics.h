#pragma once
// The character cell and the fonts of the Win32 face. The cell comes from the stock
// fixed system font, as every window's layout is given in its cells; the controls
// show their texts in the desktop's message font, made smaller until a window's
// layout holds its labels and widest numbers whole.

#include <vector>

#include "window/layout.h"
#include "platform/win32.h"

namespace trv810::ui::win32 {

/// Width = average character width, height = character height plus external leading
/// of the stock fixed system font.
window::CellSize measureSystemCell();

/// The dialog-unit base of `font`: the average width of the 52 Latin letters, rounded,
/// and the character height.
window::CellSize measureDialogBase(HFONT font);

/// The pixels an edit of `control`'s border has for its text (with the margins the
/// control set gives every edit).
int editTextWidth(const window::ControlSpec& control);

/// The width of `text` in `font`, in pixels.
int textWidth(HFONT font, const std::wstring& text);

/// A font for the controls of `layout`: the message font, a pixel smaller at a time
/// until every label and every widest number of a digit edit fits. The caller owns it.
HFONT createControlFont(const std::vector<window::ControlSpec>& layout);

}  // namespace trv810::ui::win32
