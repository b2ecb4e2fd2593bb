#pragma once
// The configuration window's file commands, "In Datei sichern" and "Datei laden",
// with their dialogs and messages. `lastPath` is the window's memory of the file
// chosen last in either command; each dialog opens there. `history` (when not null)
// keeps the folder and the recent files beyond the run.

#include <string>

#include "config/form.h"
#include "window/file_history.h"
#include "window/window_host.h"

namespace trv810::config {

/// "In Datei sichern": stores the visible rows and validates the form (its message and
/// no dialog on failure), asks for a path, writes the current-format file. A failed
/// write keeps the old file and says so. True when the file was written.
bool saveConfigurationCommand(Form& form, window::WindowHost& host, std::string& lastPath,
                              window::FileHistory* history = nullptr);

/// The part of "In Datei sichern" after a successful validation: asks for a path and
/// writes the image. True when the file was written.
bool saveValidatedConfiguration(Form& form, window::WindowHost& host, std::string& lastPath,
                                window::FileHistory* history = nullptr);

/// "Datei laden": asks for a path and loads the file with every question and message;
/// on success the form shows the new image from row 1 (the caller moves its scroll
/// thumb to the top). True when the image was replaced.
bool loadConfigurationCommand(Form& form, window::WindowHost& host, std::string& lastPath,
                              window::FileHistory* history = nullptr);

/// The part of "Datei laden" after the user chose `path`: loads it with every question
/// and message; a loaded file joins `history`'s recent files. True when the image was
/// replaced.
bool loadConfigurationFile(Form& form, window::WindowHost& host, std::string& lastPath, const std::string& path,
                           window::FileHistory* history = nullptr);

}  // namespace trv810::config
