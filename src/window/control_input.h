#pragma once
// What a face reports of the user's input on a window's controls, in one vocabulary
// for every face: a face turns its toolkit's events into these calls and decides
// nothing itself. Which input acts, and how, is the window logic's affair.

#include <functional>
#include <string>

#include "window/layout.h"

namespace trv810::window {

/// A request from a vertical scroll bar.
enum class ScrollRequest { LineUp, LineDown, PageUp, PageDown, Thumb, Top, Bottom, EndScroll };

/// A point in a window's client area, in pixels.
struct Point {
  int x = 0;
  int y = 0;
};

/// What the wheel reports for one notch; finer wheels report parts of it.
inline constexpr int kWheelNotch = 120;

/// Where the controls send user input. Unset handlers drop it.
struct ControlInput {
  /// A button, toggle or radio button was clicked.
  std::function<void(int id)> command;
  /// The user chose entry `index` in a list.
  std::function<void(int id, int index)> listChosen;
  /// A scroll bar was operated; `position` is where the thumb was moved to (Thumb).
  std::function<void(int id, ScrollRequest request, int position)> scrolled;
  /// A double click with the left button on an edit.
  std::function<void(int id)> doubleClicked;
  /// The left button went down on control `id`; `alone` without other buttons or keys.
  std::function<void(int id, bool alone)> pressed;
  /// The wheel turned by `delta` (kWheelNotch a notch; positive: away from the user)
  /// with the pointer at `at` over control `id` (-1: the window itself); the desktop
  /// scrolls `linesPerNotch` lines a notch. True when the window took it; otherwise
  /// the control handles the wheel as it would.
  std::function<bool(int id, Point at, int delta, int linesPerNotch)> wheel;
  /// The user changed the text of an edit.
  std::function<void(int id)> edited;
  /// A paste into `edit` would make `utf8` its whole text: true lets it in. Without this
  /// handler an edit takes a paste its layout admits (refusalOf).
  std::function<bool(const ControlSpec& edit, const std::string& utf8)> pasted;
};

/// Input that only reports clicks, to `command`.
inline ControlInput clicksTo(std::function<void(int id)> command) {
  ControlInput input;
  input.command = std::move(command);
  return input;
}

/// Wheel movement gathered into whole notches: a fine wheel's parts add up, and what
/// is left of a notch waits for the next movement.
class WheelNotches {
 public:
  /// Adds `delta` and returns the whole notches it completes (negative: towards the user).
  int add(int delta) {
    pending_ += delta;
    const int notches = pending_ / kWheelNotch;
    pending_ -= notches * kWheelNotch;
    return notches;
  }

 private:
  int pending_ = 0;
};

}  // namespace trv810::window
