#pragma once
// What the program remembers from one run to the next, over a settings store: the port
// chosen last, for configurations and for firmware the folder the user chose a file in
// last and the last five files opened or saved, and where the main window stood. Each
// change is saved at once, so a crash loses nothing; a store that cannot be written
// keeps the values for the run. What comes back from the store is taken as found by
// hand: the caller checks a port against the ports it knows and a position against
// the screens there are.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/settings.h"
#include "window/file_history.h"

namespace trv810::app {

/// The two kinds of file the windows open and save.
enum class FileKind { Configuration, Firmware };

struct WindowPosition {
  int x = 0;
  int y = 0;
  bool operator==(const WindowPosition&) const = default;
};

class Remembered {
 public:
  static constexpr std::size_t kRecentFiles = 5;

  explicit Remembered(platform::SettingsStore& store) : store_(store) {}

  /// The port chosen last ("COM3", or what names a port otherwise); empty when none.
  std::string port() const;
  void setPort(const std::string& port);

  /// The folder of the file of `kind` chosen last; empty when none.
  std::string folder(FileKind kind) const;
  /// The last files of `kind` opened or saved, the most recent first, each once.
  std::vector<std::string> recentFiles(FileKind kind) const;
  /// The user chose `path` in a file dialog: its folder becomes the kind's folder,
  /// whether or not the file then loads.
  void noteChosenFile(FileKind kind, const std::string& path);
  /// `path` was opened or saved: it goes to the front of the kind's recent files (the
  /// oldest drops off beyond five) and its folder becomes the kind's folder.
  void noteUsedFile(FileKind kind, const std::string& path);

  std::optional<WindowPosition> mainWindowPosition() const;
  /// Each call writes the store: call it when the window closes, not on every move.
  void setMainWindowPosition(WindowPosition position);

 private:
  // Sets the kind's folder from `path`, true when that changed it.
  bool setFolderFrom(FileKind kind, const std::string& path);

  platform::SettingsStore& store_;
};

/// The file dialogs' memory of one kind of file, kept by a Remembered.
class RememberedFiles final : public window::FileHistory {
 public:
  RememberedFiles(Remembered& remembered, FileKind kind) : remembered_(remembered), kind_(kind) {}

  /// The kind's recent files and folder; a request without a start path starts at
  /// the most recent file when it lies in that folder, else in the folder.
  void prepare(window::FileDialogRequest& request) const override;
  void chosen(const std::string& path) override { remembered_.noteChosenFile(kind_, path); }
  void used(const std::string& path) override { remembered_.noteUsedFile(kind_, path); }

 private:
  Remembered& remembered_;
  FileKind kind_;
};

}  // namespace trv810::app
