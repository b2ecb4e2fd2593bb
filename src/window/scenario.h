#pragma once
// A face-neutral scenario: a script of the user's steps (menu commands, keys, clicks,
// typed text, answers to boxes and file dialogs) and of what the windows must show
// after them (texts, enabling, the focus, boxes), run against a face through the small
// driver each face implements. Every face must pass the same script, so the faces
// cannot drift apart; the screenshot commands are the same script taking pictures.
//
// How it runs: the driver calls the scenario's tick about every 20 ms from the face's
// event loop, modal loops included, so a step can answer the box that the step before
// opened. A step first acts once, then waits (by its check, never by a fixed time) until
// what it expects holds or its time limit has passed; a step that runs out of time
// ends the scenario with the reason, after the driver has closed what is still open.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "window/controls.h"
#include "window/window_host.h"

namespace trv810::window {

/// A key as the user presses it: a character (letters and digits as typed, lower case
/// for letters) or a named key, with Alt or without.
struct Key {
  enum Name { Character, Enter, Escape, Tab, Space, Up, Down };
  Name name = Character;
  char character = 0;
  bool alt = false;
};

inline Key key(Key::Name name) { return {name, 0, false}; }
inline Key key(char character) { return {Key::Character, character, false}; }
inline Key alt(char character) { return {Key::Character, character, true}; }

/// What a face does for the scenario: the user's hands and eyes on its windows. "The
/// active window" is the modal dialog open now, else the child window, else the main
/// window.
class ScenarioDriver {
 public:
  virtual ~ScenarioDriver() = default;

  /// Calls `tick` about every 20 ms on the face's event loop (inside modal loops too)
  /// until it returns false, and returns then.
  virtual void runTicks(const std::function<bool()>& tick) = 0;
  /// Closes every modal window still open (a scenario that failed leaves them).
  virtual void closeModals() = 0;

  /// A command of the main window's menu, as choosing it there gives it.
  virtual void menu(int commandId) = 0;
  /// A key to the control with the focus in the active window, as the keyboard gives
  /// it (through the face's own key handling).
  virtual void press(Key key) = 0;
  /// Gives edit `id` of the active window the focus, selects its text and types
  /// `utf8` over it, a character at a time.
  virtual void type(int id, std::string_view utf8) = 0;
  /// A click, or a double click, with the left button on control `id` of the active window.
  virtual void click(int id) = 0;
  virtual void doubleClick(int id) = 0;
  /// Asks the child window to close, as its close box does.
  virtual void closeChild() = 0;

  /// Whether a child window is open.
  virtual bool childOpen() = 0;
  /// Whether a dialog built from a layout (the port or the signal-sequence dialog) is open.
  virtual bool dialogOpen() = 0;
  /// The controls of the active window (texts in Windows-1252, as the logic sees them).
  virtual ControlTable& controls() = 0;
  /// The control of the active window that has the focus; -1 when none has it.
  virtual int focus() = 0;
  /// The text of the message box open now (UTF-8), or nothing.
  virtual std::optional<std::string> box() = 0;
  /// Answers the message box open now.
  virtual void answer(Answer answer) = 0;
  /// Whether a file dialog is open now.
  virtual bool fileDialog() = 0;
  /// Chooses `path` (UTF-8) in the file dialog open now; an empty path cancels it.
  virtual void chooseFile(std::string_view path) = 0;
  /// Writes a picture of the active window (`mainWindow`: of the main window with
  /// what is inside it) named `name` plus the face's picture format's suffix.
  virtual bool capture(std::string_view name, bool mainWindow = false) = 0;
};

/// One step: what the user does (may be nothing), then what must hold after it: the
/// check returns why not (empty: it holds).
struct Step {
  std::string what;
  std::function<void(ScenarioDriver&)> act;
  std::function<std::string(ScenarioDriver&)> check;
  std::chrono::milliseconds limit{10000};
};

class Scenario {
 public:
  using Clock = std::chrono::steady_clock;

  Scenario& add(Step step) {
    steps_.push_back(std::move(step));
    return *this;
  }
  /// Says each step's description to `trace` as it begins.
  Scenario& traceTo(std::function<void(const std::string&)> trace) {
    trace_ = std::move(trace);
    return *this;
  }
  /// Runs every step on `driver`; the reason of the first step that failed, or nothing.
  std::optional<std::string> run(ScenarioDriver& driver);
  const std::vector<Step>& steps() const { return steps_; }

 private:
  bool tick(ScenarioDriver& driver);

  std::vector<Step> steps_;
  std::size_t index_ = 0;
  bool acted_ = false;
  bool done_ = false;
  Clock::time_point deadline_{};
  std::optional<std::string> failure_;
  std::function<void(const std::string&)> trace_;
};

}  // namespace trv810::window
