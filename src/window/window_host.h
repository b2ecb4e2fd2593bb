#pragma once
// What a window's logic needs from the toolkit around it: message boxes, modal
// dialogs, its title, a progress indicator, file choice, the wait cursor, the keyboard
// focus, a steady tick while something runs, and closing itself. Each face implements it per window;
// tests use a host that records every call (and a clock of their own).
//
// Texts here are UTF-8 (they are this program's own texts, not the unit's).

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trv810::window {

class Dialog;

enum class Icon { Error, Information, Question };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

/// A file filter: its name and the patterns it shows, separated by blanks.
struct FileFilter {
  std::string name;
  std::string patterns;
};

/// What a file dialog is asked to show.
struct FileDialogRequest {
  std::string filterName;       ///< e.g. "Konfig.-Files (*.kfg)"; the filter selected first
  std::string filterPatterns;   ///< e.g. "*.kfg"
  std::string defaultSuffix;    ///< e.g. "kfg"
  std::string startPath;        ///< the path chosen last, or empty
  std::string startFolder;      ///< where the dialog starts when startPath is empty; empty: anywhere
  std::vector<std::string> recentFiles;  ///< files opened or saved last, the most recent first
  bool confirmOverwrite = false;
  std::vector<FileFilter> moreFilters;  ///< offered after the first one
};

class WindowHost {
 public:
  using Clock = std::chrono::steady_clock;
  /// How often a window that asked for ticks gets them: often enough for a clock that
  /// shows seconds.
  static constexpr std::chrono::milliseconds kTickInterval{250};

  virtual ~WindowHost() = default;

  /// A modal message box owned by the window. With Yes and No, `defaultAnswer` is the
  /// button that has the focus and that Enter gives; a question whose "Ja" throws work
  /// away has "Nein" there.
  virtual Answer messageBox(std::string_view text, std::string_view caption, Icon icon,
                            Buttons buttons = Buttons::Ok, Answer defaultAnswer = Answer::Yes) = 0;
  /// Runs `dialog` modally, owned by control `ownerId` of the window (-1: by the window
  /// itself), handing it the dialog's input until its onCommand() gives a result, and
  /// returns that result; 0 when the dialog cannot be shown. When it ends, an owning
  /// control has the focus again, an edit with its text unselected.
  virtual int runDialog(Dialog& dialog, int ownerId) = 0;
  virtual void setTitle(std::string_view title) = 0;
  virtual void setProgressRange(int minimum, int maximum) = 0;
  virtual void setProgressPosition(int position) = 0;
  /// The chosen file's full path, or nothing when the user cancelled.
  virtual std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) = 0;
  virtual void setWaitCursor(bool wait) = 0;
  /// Asks the toolkit to close the window (its close handling then runs).
  virtual void requestClose() = 0;
  /// Gives control `id` the keyboard focus. With `selectText` an edit's whole text is
  /// selected, so what is typed next replaces it.
  virtual void setFocus(int id, bool selectText) = 0;
  /// The control of this window that has the keyboard focus; -1 when none has it.
  virtual int focus() const = 0;
  /// While on, the toolkit calls the window's onTick() about every kTickInterval.
  virtual void setTicking(bool on) = 0;
  /// The time now on a steady clock; tests give their own.
  virtual Clock::time_point now() { return Clock::now(); }
};

}  // namespace trv810::window
