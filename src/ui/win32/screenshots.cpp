#include "ui/win32/screenshots.h"

#include "platform/win32.h"

#include <chrono>
#include <cstdio>
#include <memory>

#include <commctrl.h>

#include "config/config_window.h"
#include "config/control_ids.h"
#include "firmware/update_window.h"
#include "config/signal_box.h"
#include "ui/win32/layout_dialog.h"
#include "ui/win32/main_window.h"
#include "ui/win32/modal_watch.h"
#include "ui/win32/text.h"

namespace trv810::ui::win32 {

namespace {

using Clock = std::chrono::steady_clock;

/// Handles one message of this thread, or waits up to 10 ms for one. One at a time:
/// a transfer's stream of notifications never keeps a wait from looking at the clock.
void pumpOnce() {
  MSG msg;
  if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  } else {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

/// Runs the messages of this thread for `span`, so windows are drawn.
void settle(std::chrono::milliseconds span = std::chrono::milliseconds(300)) {
  const auto end = Clock::now() + span;
  while (Clock::now() < end) pumpOnce();
}

/// Writes what the screen shows of `hwnd` (frame included) as a 24-bit BMP file.
bool save(HWND hwnd, const std::wstring& directory, const wchar_t* name) {
  ::SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  settle();
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;  // bottom-up, as the file keeps its rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  ::GdiFlush();
  const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
  const DWORD size = stride * static_cast<DWORD>(h);
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + size;
  bool ok = false;
  if (std::FILE* out = ::_wfopen((directory + L"\\" + name).c_str(), L"wb")) {
    ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
         std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
         std::fwrite(bits, size, 1, out) == 1;
    ok = std::fclose(out) == 0 && ok;
  }
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return ok;
}

/// Runs messages until `finished` holds or `limit` has passed.
template <typename Done>
void waitFor(Done finished, std::chrono::seconds limit) {
  const auto end = Clock::now() + limit;
  while (!finished() && Clock::now() < end) pumpOnce();
}

bool configurationPictures(MainWindow& window, const std::wstring& dir) {
  window.logic().onCommand(app::kCommandConfiguration, false);
  settle();
  auto* content = window.child() ? dynamic_cast<WindowContent*>(window.child()->content()) : nullptr;
  if (!content || !content->logicAs<config::ConfigWindow>()) return false;
  config::ConfigWindow& logic = *content->logicAs<config::ConfigWindow>();

  bool saved = true;
  ModalWatch readBox([&saved, &dir](HWND box) {
    saved = save(box, dir, L"configuration-read-box.bmp") && saved;
    answer(box, IDOK);
  });
  logic.onCommand(config::ids::kRead);
  waitFor([&] { return !logic.transferRunning() && readBox.done(); }, std::chrono::seconds(30));
  bool ok = readBox.done() && !logic.transferRunning();
  settle();
  ok = save(window.window(), dir, L"configuration-window.bmp") && ok;

  int sequenceEdit = config::ids::kManualSequence;
  for (int k = 0; k < config::ids::kVisibleLines; ++k)
    if (::IsWindowEnabled(content->controls().window(config::ids::sequence(k)))) {
      sequenceEdit = config::ids::sequence(k);
      break;
    }
  ModalWatch signalBox([&saved, &dir](HWND dialog) {
    saved = save(dialog, dir, L"signal-box.bmp") && saved;
    ::PostMessageW(::GetDlgItem(dialog, config::SignalBox::kCancel), BM_CLICK, 0, 0);
  });
  logic.onDoubleClick(sequenceEdit);
  ok = ok && signalBox.done();

  ModalWatch fileDialog([&saved, &dir](HWND dialog) {
    saved = save(dialog, dir, L"file-dialog.bmp") && saved;
    answer(dialog, IDCANCEL);
  });
  logic.onCommand(config::ids::kLoad);
  ok = ok && fileDialog.done();

  // An edit not saved: closing asks first.
  ::SetWindowTextW(content->controls().window(config::ids::kIdent), L"Wache Süd");
  ModalWatch question([&saved, &dir](HWND box) {
    saved = save(box, dir, L"configuration-close-question.bmp") && saved;
    answer(box, IDYES);
  });
  window.child()->closeWindow();
  settle();
  return ok && saved;
}

/// Starts programming a made-up firmware image and returns once the progress bar has
/// passed 40 % (or 20 s have gone), so the picture shows a transfer under way. A box
/// that ends the transfer early (no unit on COM1) is answered.
void programDemoImage(WindowContent& content, ModalWatch& failure) {
  firmware::UpdateWindow& logic = *content.logicAs<firmware::UpdateWindow>();
  wchar_t folder[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + L"TRV810-Firmware-V1.30.bin";
  std::FILE* file = ::_wfopen(path.c_str(), L"wb");
  if (!file) return;
  for (int i = 0; i < 120000; ++i) std::fputc((i * 31 + 7) & 0xFF, file);
  std::fclose(file);
  logic.onFileChosen(narrow(path));
  logic.onCommand(firmware::ids::kProgram);
  HWND bar = content.controls().progressBar();
  waitFor([&] {
    const auto position = ::SendMessageW(bar, PBM_GETPOS, 0, 0);
    const auto maximum = ::SendMessageW(bar, PBM_GETRANGE, FALSE, 0);
    return failure.done() || !logic.transferRunning() || position * 5 >= maximum * 2;
  }, std::chrono::seconds(20));
}

bool flashUpdatePicture(MainWindow& window, const std::wstring& dir) {
  window.logic().onCommand(app::kCommandFlashUpdate, false);
  settle();
  auto* content = window.child() ? dynamic_cast<WindowContent*>(window.child()->content()) : nullptr;
  if (content && !content->logicAs<firmware::UpdateWindow>()) content = nullptr;
  ModalWatch failure([](HWND box) { answer(box, IDOK); });
  if (content) programDemoImage(*content, failure);
  bool ok = save(window.window(), dir, L"flash-update-window.bmp");
  if (content && content->logicAs<firmware::UpdateWindow>()->transferRunning()) {
    // "Stop": the status line says what is left in the unit.
    content->logicAs<firmware::UpdateWindow>()->onCommand(firmware::ids::kStop);
    ok = save(window.window(), dir, L"flash-update-stopped.bmp") && ok;
  }
  // Closing while the unit is being programmed would ask first; it has stopped.
  if (ChildWindow* child = window.child()) child->closeWindow();
  settle();
  return ok;
}

}  // namespace

bool writeScreenshots(MainWindow& window, const std::wstring& directory) {
  ::CreateDirectoryW(directory.c_str(), nullptr);
  ::ShowWindow(window.window(), SW_SHOWNORMAL);
  ::SetForegroundWindow(window.window());
  bool ok = save(window.window(), directory, L"main-window.bmp");

  app::PortDialog logic(window.application().shell());
  std::unique_ptr<LayoutDialog> portDialog = window.buildPortDialog(logic);
  portDialog->show();
  ok = save(portDialog->window(), directory, L"port-dialog.bmp") && ok;
  portDialog.reset();

  bool infoSaved = false;
  ModalWatch info([&infoSaved, &directory](HWND box) {
    infoSaved = save(box, directory, L"info-box.bmp");
    answer(box, IDOK);
  });
  window.logic().onCommand(app::kCommandInfo, false);
  ok = infoSaved && ok;

  ok = configurationPictures(window, directory) && ok;
  ok = flashUpdatePicture(window, directory) && ok;
  return ok;
}

}  // namespace trv810::ui::win32
