#include "config/file_commands.h"

#include "config/config_file.h"

namespace trv810::config {

bool saveConfigurationCommand(Form& form, window::WindowHost& host, std::string& lastPath) {
  form.storeVisibleRows();
  if (!reportFormResult(host, form.readForm())) return false;
  return saveValidatedConfiguration(form, host, lastPath);
}

bool saveValidatedConfiguration(Form& form, window::WindowHost& host, std::string& lastPath) {
  const std::optional<std::string> path = host.chooseSaveFile(configFileDialog(lastPath, true));
  if (!path) return false;
  lastPath = *path;
  return saveConfigFileShowing(*path, form.image(), host);
}

bool loadConfigurationCommand(Form& form, window::WindowHost& host, std::string& lastPath) {
  const std::optional<std::string> path = host.chooseOpenFile(configFileDialog(lastPath, false));
  return path && loadConfigurationFile(form, host, lastPath, *path);
}

bool loadConfigurationFile(Form& form, window::WindowHost& host, std::string& lastPath, const std::string& path) {
  lastPath = path;
  if (!loadConfigFileShowing(path, form.image(), host)) return false;
  form.showImportedImage();
  return true;
}

}  // namespace trv810::config
