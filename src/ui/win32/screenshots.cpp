#include "ui/win32/screenshots.h"

#include <cstdio>
#include <cstdlib>

#include "app/scenario.h"
#include "platform/win32.h"
#include "ui/win32/main_window.h"
#include "ui/win32/scenario_driver.h"
#include "ui/win32/text.h"

namespace trv810::ui::win32 {

bool writeScreenshots(MainWindow& window, const std::wstring& directory) {
  ::CreateDirectoryW(directory.c_str(), nullptr);
  // A fresh folder for the scenario's files.
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring scratch = std::wstring(temp) + L"trv810-scenario-" + std::to_wstring(::GetCurrentProcessId());
  ::CreateDirectoryW(scratch.c_str(), nullptr);
  ::ShowWindow(window.window(), SW_SHOWNORMAL);
  ::SetForegroundWindow(window.window());
  Win32ScenarioDriver driver(window, directory);
  window::Scenario scenario = app::desktopScenario(narrow(scratch));
  // TRV810_SCENARIO_TRACE=1: each step on standard error as it begins.
  if (const char* trace = std::getenv("TRV810_SCENARIO_TRACE"); trace && *trace == '1')
    scenario.traceTo([](const std::string& step) { std::fprintf(stderr, "%s\n", step.c_str()); });
  const std::optional<std::string> failure = scenario.run(driver);
  if (failure) std::fprintf(stderr, "%s\n", failure->c_str());
  for (const wchar_t* file : {L"\\Anlage.kfg", L"\\TRV810-Firmware-V1.30.bin"}) ::DeleteFileW((scratch + file).c_str());
  ::RemoveDirectoryW(scratch.c_str());
  return !failure;
}

}  // namespace trv810::ui::win32
