#pragma once
// What a window's file dialogs remember beyond the run, for one kind of file: where a
// dialog starts and which recent files it offers, the folder the user chose a file in,
// and the files opened or saved last. The window logic asks for a file through
// chooseFile() and tells used() once the file was opened or saved; the application
// keeps the values over its settings store.

#include <optional>
#include <string>

#include "window/window_host.h"

namespace trv810::window {

class FileHistory {
 public:
  virtual ~FileHistory() = default;

  /// Fills in where `request` starts when it names no file of this run, and the
  /// recent files it offers.
  virtual void prepare(FileDialogRequest& request) const = 0;
  /// The user chose `path` in a file dialog, whether or not it then opens.
  virtual void chosen(const std::string& path) = 0;
  /// `path` was opened or saved.
  virtual void used(const std::string& path) = 0;
};

/// Asks `host` for a file to open (with `save`: to save) as `request` says, with what
/// `history` remembers (none when null); a chosen file is noted there.
inline std::optional<std::string> chooseFile(WindowHost& host, FileDialogRequest request, FileHistory* history,
                                             bool save) {
  if (history) history->prepare(request);
  std::optional<std::string> path = save ? host.chooseSaveFile(request) : host.chooseOpenFile(request);
  if (path && history) history->chosen(*path);
  return path;
}

}  // namespace trv810::window
