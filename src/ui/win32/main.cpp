// trv810.exe: the desktop program on Windows. Start-up: the application object (shell
// state, link events, buffers), the common controls, the character cell from the
// stock fixed system font, the main window; then the message loop. Exit closes the
// port before anything is released.
//
//   trv810.exe                    the program
//   trv810.exe FILE               the program with FILE open: a configuration (.kfg) in the
//                                 configuration window, a firmware image (.hex, .bin) in
//                                 the flash-update window
//   trv810.exe --screenshot DIR   writes pictures of its windows into DIR and ends

#include <cstdio>
#include <memory>
#include <new>

#include "platform/win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/application.h"
#include "app/texts.h"
#include "platform/settings.h"
#include "ui/win32/cell_metrics.h"
#include "ui/win32/main_window.h"
#include "ui/win32/screenshots.h"
#include "ui/win32/text.h"

namespace {

using namespace trv810;

struct Arguments {
  std::optional<std::wstring> screenshots;  ///< the directory after --screenshot
  std::optional<std::wstring> file;         ///< the first argument that is no option
};

/// The program's arguments, in UTF-16 as Windows keeps them (so any file name arrives
/// whole). --screenshot without a directory means "screenshots".
Arguments arguments() {
  int count = 0;
  LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  Arguments found;
  for (int i = 1; i < count; ++i) {
    const std::wstring_view word(words[i]);
    if (word == L"--screenshot") {
      found.screenshots = i + 1 < count ? words[++i] : L"screenshots";
    } else if (!word.starts_with(L'-') && !found.file) {
      found.file = std::wstring(word);
    }
  }
  ::LocalFree(words);
  return found;
}

int run() {
  const Arguments given = arguments();
  // What the program remembers: the user's settings; a picture run starts from the
  // defaults and leaves them alone.
  std::unique_ptr<platform::SettingsStore> settings;
  if (given.screenshots)
    settings = std::make_unique<platform::MemorySettings>();
  else
    settings = platform::openUserSettings();
  std::unique_ptr<app::Application> application;
  try {
    application = std::make_unique<app::Application>(link::PortTable::fromEnvironment(), std::move(settings));
  } catch (const std::bad_alloc&) {
    ::MessageBoxW(nullptr, ui::win32::widen(app::texts::kOutOfMemory).c_str(),
                  ui::win32::widen(app::texts::kShellCaption).c_str(), MB_OK | MB_ICONERROR);
    return 0;
  }
  ui::win32::MainWindow window(*application, ui::win32::measureSystemCell());
  if (const std::optional<std::wstring>& directory = given.screenshots) {
    const bool ok = ui::win32::writeScreenshots(window, *directory);
    std::fprintf(stderr, "%s %s\n", ok ? "Bilder geschrieben nach" : "Bilder konnten nicht geschrieben werden nach",
                 ui::win32::narrow(*directory).c_str());
    return ok ? 0 : 1;
  }
  ::ShowWindow(window.window(), SW_SHOWNORMAL);
  ::UpdateWindow(window.window());
  if (given.file) window.openFile(*given.file);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (window.translate(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The program speaks German, the buttons of its message boxes and the file dialogs
  // included, where the system has them in German.
  ::SetThreadUILanguage(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  return run();
}
