#pragma once
// What a window's logic needs from the toolkit around it: message boxes, its title,
// a progress indicator, file choice, the wait cursor and closing itself. The Qt layer
// implements it per window; tests use a host that records every call.
//
// Texts here are UTF-8 (they are this program's own texts, not the unit's).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trv810::platform {

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
  bool confirmOverwrite = false;
  std::vector<FileFilter> moreFilters;  ///< offered after the first one
};

class WindowHost {
 public:
  virtual ~WindowHost() = default;

  /// A modal message box owned by the window.
  virtual Answer messageBox(std::string_view text, std::string_view caption, Icon icon,
                            Buttons buttons = Buttons::Ok) = 0;
  virtual void setTitle(std::string_view title) = 0;
  virtual void setProgressRange(int minimum, int maximum) = 0;
  virtual void setProgressPosition(int position) = 0;
  /// The chosen file's full path, or nothing when the user cancelled.
  virtual std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) = 0;
  virtual void setWaitCursor(bool wait) = 0;
  /// Asks the toolkit to close the window (its close handling then runs).
  virtual void requestClose() = 0;
};

}  // namespace trv810::platform
