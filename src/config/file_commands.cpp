#include "config/file_commands.h"

#include "config/config_file.h"

namespace trv810::config {

bool saveConfigurationCommand(Form& form, window::WindowHost& host, std::string& lastPath,
                              window::FileHistory* history) {
  form.storeVisibleRows();
  if (!reportFormResult(host, form.readForm())) return false;
  return saveValidatedConfiguration(form, host, lastPath, history);
}

bool saveValidatedConfiguration(Form& form, window::WindowHost& host, std::string& lastPath,
                                window::FileHistory* history) {
  const std::optional<std::string> path = window::chooseFile(host, configFileDialog(lastPath, true), history, true);
  if (!path) return false;
  lastPath = *path;
  if (!saveConfigFileShowing(*path, form.image(), host)) return false;
  if (history) history->used(*path);
  return true;
}

bool loadConfigurationCommand(Form& form, window::WindowHost& host, std::string& lastPath,
                              window::FileHistory* history) {
  const std::optional<std::string> path = window::chooseFile(host, configFileDialog(lastPath, false), history, false);
  return path && loadConfigurationFile(form, host, lastPath, *path, history);
}

bool loadConfigurationFile(Form& form, window::WindowHost& host, std::string& lastPath, const std::string& path,
                           window::FileHistory* history) {
  lastPath = path;
  if (!loadConfigFileShowing(path, form.image(), host)) return false;
  if (history) history->used(path);
  form.showImportedImage();
  return true;
}

}  // namespace trv810::config
