#pragma once
// The few words the Qt face adds of its own; everything else it shows comes from the
// window logic's texts. UTF-8.

namespace trv810::ui::texts {

/// The tool tip of a child window's close box.
inline constexpr const char* kCloseBoxToolTip = "Schließen";

}  // namespace trv810::ui::texts
