#pragma once
// A window's layout as data: one ControlSpec per control, in creation order, with its
// kind, control id, caption and geometry in pixels. Window logic computes the table
// from the character cell (cells() below: a fraction a/b of a cell, remainder
// dropped); tests check the table; the Qt layer instantiates it as it stands.
//
// Captions and list entries here are UTF-8 (they are this program's own texts).
// Positions are relative to the window's client area (for dialogs: to the dialog).

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/cp1252.h"

namespace trv810::window {

enum class ControlKind {
  GroupBox,       ///< frame with a caption
  Static,         ///< text label
  Toggle,         ///< radio-button look; a click does not mark it, the logic does
  Edit,           ///< one-line text edit
  DigitEdit,      ///< one-line text edit that admits digits only
  List,           ///< drop-down list of `entries`
  ScrollBar,      ///< vertical scroll bar with a range and a position
  Button,         ///< ordinary push button
  DefaultButton,  ///< push button drawn as the default button: at most one a window
  ProgressBar,    ///< progress indicator; range and position come from the logic
  RadioButton,    ///< radio button in a dialog; also marked by the logic, not by a click
};

/// The character cell in pixels: the layout unit of every window.
struct CellSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const CellSize&, const CellSize&) = default;
};

/// a/b of `cellSize` pixels, remainder dropped: cells(45, 2, 16) == 360.
inline int cells(int a, int b, int cellSize) { return a * cellSize / b; }

/// Dialog units to pixels with the usual base of the program's font: a horizontal
/// dialog unit is a quarter of the average character width, a vertical one an eighth
/// of the character height.
inline int dialogX(int units, CellSize cell) { return units * cell.width / 4; }
inline int dialogY(int units, CellSize cell) { return units * cell.height / 8; }

/// A rectangle in pixels.
struct Rect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  friend bool operator==(const Rect&, const Rect&) = default;
};

struct ControlSpec {
  ControlKind kind = ControlKind::Static;
  int id = -1;                       ///< control id; -1 for controls the logic never reaches
  std::string text;                  ///< caption (UTF-8)
  std::vector<std::string> entries;  ///< list entries (UTF-8)
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  bool centred = false;           ///< text (or group caption) centred
  bool border = false;            ///< edit with a border
  bool tabStop = false;           ///< reached with the Tab key
  bool horizontalScroll = false;  ///< edit: text scrolls; without it only what fits is taken
  bool windows1252Only = false;   ///< edit: admits only characters that exist in Windows-1252
  bool showsPath = false;         ///< label: a path too long for it keeps its end (the file's name) in view
  int maxLength = 0;              ///< edit: at most this many characters; 0 = no limit
  std::string widest;             ///< edit: its widest value, which must show whole (UTF-8)
  std::string toolTip;            ///< shown when the pointer rests on the control (UTF-8, lines by \n)
  int selected = -1;              ///< list: entry selected at creation
  int minimum = 0;                ///< scroll bar: range
  int maximum = 0;
  int position = 0;               ///< scroll bar: position at creation

  Rect rect() const { return {x, y, w, h}; }

  // Modifiers for building tables in one expression:
  //   layout.push_back(control(ControlKind::Edit, 16, "", x, y, w, h).bordered().tabbed());
  ControlSpec& centre() { centred = true; return *this; }
  ControlSpec& bordered() { border = true; return *this; }
  ControlSpec& tabbed() { tabStop = true; return *this; }
  ControlSpec& scrolling() { horizontalScroll = true; return *this; }
  ControlSpec& windows1252() { windows1252Only = true; return *this; }
  ControlSpec& path() { showsPath = true; return *this; }
  ControlSpec& limit(int characters) { maxLength = characters; return *this; }
  /// At most `characters` characters, of which `widestValue` is the widest to show.
  ControlSpec& holds(int characters, std::string widestValue) {
    maxLength = characters;
    widest = std::move(widestValue);
    return *this;
  }
  ControlSpec& tip(std::string text) { toolTip = std::move(text); return *this; }
  ControlSpec& list(std::vector<std::string> items, int selectedIndex) {
    entries = std::move(items);
    selected = selectedIndex;
    return *this;
  }
  ControlSpec& range(int low, int high, int at) {
    minimum = low;
    maximum = high;
    position = at;
    return *this;
  }
};

/// A control of `kind` with its id, caption and geometry; every flag off.
inline ControlSpec control(ControlKind kind, int id, std::string text, int x, int y, int w, int h) {
  ControlSpec c;
  c.kind = kind;
  c.id = id;
  c.text = std::move(text);
  c.x = x;
  c.y = y;
  c.w = w;
  c.h = h;
  return c;
}

/// A window's (or dialog's) own caption and geometry together with its controls.
/// `frame` is relative to the parent's client area (dialogs: to the owner). Its size
/// is the outer size, caption included, unless `clientSize` says it is the size of the
/// client area alone (as dialog templates give it).
struct WindowSpec {
  std::string title;
  Rect frame;
  bool clientSize = false;
  std::vector<ControlSpec> controls;
  /// The order Tab goes through the controls (Shift+Tab the other way); empty: the
  /// order of `controls`, tab stops only.
  std::vector<int> tabOrder;
  /// Dialogs: the command that Enter, Escape and the window's close button give; -1
  /// for none (the key or the close button then does nothing).
  int enterCommand = -1;
  int escapeCommand = -1;
  int closeCommand = -1;
};

/// Why an edit does not take a text as its whole content.
enum class Refusal {
  None,            ///< it takes it
  TooLong,         ///< more characters than its maxLength
  NotDigits,       ///< a character other than a digit in a DigitEdit
  NotWindows1252,  ///< a character Windows-1252 lacks in a windows1252Only edit
};

/// Whether `edit` takes `utf8` as its whole text, and why not. An edit refuses a paste
/// by this as a whole: a cut or filtered value would be one the user did not give.
inline Refusal refusalOf(const ControlSpec& edit, std::string_view utf8) {
  if (edit.kind == ControlKind::DigitEdit &&
      !std::all_of(utf8.begin(), utf8.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return Refusal::NotDigits;
  if (edit.windows1252Only && !platform::utf8ToCp1252(utf8).complete) return Refusal::NotWindows1252;
  // Characters, not bytes: UTF-8 continuation bytes do not count.
  const auto characters = std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; });
  if (edit.maxLength > 0 && characters > edit.maxLength) return Refusal::TooLong;
  return Refusal::None;
}

/// What a paste into a one-line edit brings: its text without one line end at its end
/// (a cell copied from a table carries one).
inline std::string_view pastedLine(std::string_view utf8) {
  if (utf8.ends_with("\r\n")) return utf8.substr(0, utf8.size() - 2);
  if (utf8.ends_with('\n')) return utf8.substr(0, utf8.size() - 1);
  return utf8;
}

/// The control with `id` (never -1) in `layout`, or nothing.
inline std::optional<ControlSpec> findControl(const std::vector<ControlSpec>& layout, int id) {
  for (const ControlSpec& c : layout)
    if (id >= 0 && c.id == id) return c;
  return std::nullopt;
}

}  // namespace trv810::window
