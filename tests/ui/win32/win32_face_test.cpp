// The Win32 face over the window logic: controls built from the layout tables, the
// notification sink, closing a child window during a transfer, and message boxes
// owned by their window. What the window logic does is tested with the logic.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/application.h"
#include "config/config_window.h"
#include "config/control_ids.h"
#include "config/texts.h"
#include "firmware/hex_files.h"
#include "firmware/update_window.h"
#include "ui/win32/control_set.h"
#include "ui/win32/main_window.h"
#include "ui/win32/modal_watch.h"
#include "ui/win32/notification_sink.h"
#include "ui/win32/text.h"
#include "config/config_file.h"
#include "platform/file.h"
#include "support/silent_unit.h"
#include "support/temp_dir.h"

#include <shlobj.h>

namespace trv810::ui::win32 {
namespace {

namespace ids = config::ids;
using namespace std::chrono_literals;

constexpr window::CellSize kCell{8, 16};

config::ConfigWindow& configLogic(WindowContent* content) { return *content->logicAs<config::ConfigWindow>(); }
firmware::UpdateWindow& flashLogic(WindowContent* content) { return *content->logicAs<firmware::UpdateWindow>(); }

/// Runs this thread's messages until `done` holds, for at most `limit`.
template <typename Done>
bool pumpUntil(Done done, std::chrono::milliseconds limit = 5000ms) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

window::Rect placeOf(HWND control) {
  RECT r{};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void type(HWND edit, std::wstring_view text) {
  for (wchar_t c : text) ::SendMessageW(edit, WM_CHAR, c, 0);
}

/// A key as the keyboard gives it to the program's loop: to the control with the
/// focus (to the main window when none has it), through the main window's
/// translation, then dispatched. WM_SYSCHAR is a letter with Alt.
void key(MainWindow& window, UINT message, WPARAM code) {
  HWND to = ::GetFocus();
  const LPARAM alt = message == WM_SYSCHAR || message == WM_SYSKEYDOWN ? LPARAM{1} << 29 : 0;
  MSG msg{to ? to : window.window(), message, code, alt | 1, 0, {}};
  if (!window.translate(msg)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

int focusedId() { return ::GetDlgCtrlID(::GetFocus()); }

/// What the screen shows of `control`, once its painting is done.
std::vector<COLORREF> screenPixels(HWND control) {
  pumpUntil([] { return false; }, 150ms);
  RECT r{};
  ::GetWindowRect(control, &r);
  HDC screen = ::GetDC(nullptr);
  std::vector<COLORREF> pixels;
  for (LONG y = r.top; y < r.bottom; ++y)
    for (LONG x = r.left; x < r.right; ++x) pixels.push_back(::GetPixel(screen, x, y));
  ::ReleaseDC(nullptr, screen);
  return pixels;
}

void putOnClipboard(HWND owner, const std::wstring& text) {
  ASSERT_TRUE(::OpenClipboard(owner));
  ::EmptyClipboard();
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<wchar_t*>(::GlobalLock(memory)));
  ::GlobalUnlock(memory);
  ::SetClipboardData(CF_UNICODETEXT, memory);
  ::CloseClipboard();
}

TEST(Win32Face, ControlsCarryTheirIdsAndCellsAndEditsTakeOnlyWhatTheyMay) {
  const window::WindowSpec layout = config::ConfigWindow::layout(kCell, 100 * kCell.width, 40 * kCell.height);
  HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 900, 700, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
  {
    ControlSet set(parent, layout.controls, static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)), {});
    Win32ControlTable table(set);
    for (const window::ControlSpec& entry : layout.controls) {
      if (entry.id < 0) continue;
      SCOPED_TRACE(entry.id);
      HWND control = set.window(entry.id);
      ASSERT_NE(control, nullptr);
      EXPECT_EQ(::GetDlgCtrlID(control), entry.id);
      const window::Rect at = placeOf(control);
      EXPECT_EQ(at.x, entry.x);
      EXPECT_EQ(at.y, entry.y);
      EXPECT_GE(at.w, entry.w);  // an edit grows to show its widest value
      if (entry.kind != window::ControlKind::List) {
        EXPECT_EQ(at.h, entry.h);
      }
    }

    // Digits only, typed or pasted; the ident takes what Windows-1252 holds.
    HWND address = set.window(ids::address(0));
    type(address, L"12a3-4");
    EXPECT_EQ(table.text(ids::address(0)), "1234");
    HWND ident = set.window(ids::kIdent);
    type(ident, L"S\u00fcd\u20ac\u0100\u4e2d!");  // ü and € exist in Windows-1252, Ā and 中 do not
    EXPECT_EQ(table.text(ids::kIdent), "S\xfc" "d\x80!");
    table.setText(ids::kIdent, "\xc4rger");
    EXPECT_EQ(windowText(ident), L"\u00c4rger");

    // The logic marks toggles; a click only reports.
    int clicked = -1;
    ControlSet toggles(parent, {window::control(window::ControlKind::Toggle, 8, "", 0, 0, 20, 20)},
                       nullptr, window::clicksTo([&clicked](int id) { clicked = id; }));
    ::SendMessageW(toggles.window(8), BM_CLICK, 0, 0);
    pumpUntil([&] { return clicked == 8; }, 200ms);
    EXPECT_EQ(::SendMessageW(toggles.window(8), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  }
  ::DestroyWindow(parent);
}

TEST(Win32Face, NotificationsArriveInOrderOnTheGuiThreadAndNotAfterTheirWindowWent) {
  const std::thread::id gui = std::this_thread::get_id();
  std::vector<unsigned> arrived;
  bool elsewhere = false;
  {
    Win32NotificationSink sink([&](const transfer::Notification& n) {
      arrived.push_back(n.wParam);
      elsewhere = elsewhere || std::this_thread::get_id() != gui;
    });
    std::thread poster([&sink] {
      for (uint32_t i = 0; i < 200; ++i) sink.post({0x400, i, 0, {}});
    });
    poster.join();
    ASSERT_TRUE(pumpUntil([&] { return arrived.size() == 200; }));
    for (uint32_t i = 0; i < 200; ++i) ASSERT_EQ(arrived[i], i);
    EXPECT_FALSE(elsewhere);

    // Posted, then the window goes before its messages are handled.
    std::thread late([&sink] { sink.post({0x402, 7, 0, {}}); });
    late.join();
  }
  pumpUntil([] { return false; }, 100ms);
  EXPECT_EQ(arrived.size(), 200u);
}

class Win32Shell : public ::testing::Test {
 protected:
  // The main window of an earlier test quit the message loop as it went; that quit
  // would end this test's message boxes at once.
  void SetUp() override {
    MSG quit;
    while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  static app::Application& application() {
    // COM2 leads nowhere.
    static const bool set = [] {
      ::_putenv_s("TRV810_COM2", "\\\\.\\pipe\\trv810-nothing-here");
      return true;
    }();
    (void)set;
    static app::Application instance(link::PortTable::fromEnvironment());
    return instance;
  }

  /// Shows `window` and opens its configuration window; that window's binding.
  static WindowContent* openConfiguration(MainWindow& window) {
    ::ShowWindow(window.window(), SW_SHOWNORMAL);
    window.logic().onCommand(app::kCommandConfiguration, false);
    return window.child() ? dynamic_cast<WindowContent*>(window.child()->content()) : nullptr;
  }

  /// Closes the child window, answering "Ja" to a question about unsaved edits.
  static bool discardAndClose(MainWindow& window) {
    ModalWatch discard([](HWND box) { answer(box, IDYES); });
    return window.child()->closeWindow();
  }

  // Its ports lead to a unit that takes what is written and never answers, so a
  // transfer runs until it is stopped.
  static app::Application& silentApplication() {
    static app::Application instance(link::PortTable::fromEnvironment(), std::make_unique<tests::SilentOpener>());
    return instance;
  }
};

TEST_F(Win32Shell, ClosingTheWindowDuringATransferStopsItAndEnablesTheMenu) {
  app::Application& app = silentApplication();
  app.shell().selectedPort = 0;
  MainWindow window(app, kCell);
  window.logic().onCommand(app::kCommandConfiguration, false);
  ASSERT_NE(window.child(), nullptr);
  HMENU menu = ::GetMenu(window.window());
  EXPECT_TRUE(::GetMenuState(menu, app::kCommandConfiguration, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(::GetMenuState(menu, app::kCommandFlashUpdate, MF_BYCOMMAND) & MF_GRAYED);

  auto* content = dynamic_cast<WindowContent*>(window.child()->content());
  ASSERT_NE(content, nullptr);
  configLogic(content).onCommand(ids::kRead);
  ASSERT_TRUE(configLogic(content).transferRunning());
  EXPECT_TRUE(app.link().isOpen());

  int boxes = 0;
  ModalWatch watch([&boxes](HWND box) {
    ++boxes;
    answer(box, IDOK);
  });
  ::SendMessageW(window.child()->window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(window.child(), nullptr);
  EXPECT_FALSE(app.link().isOpen());
  EXPECT_FALSE(::GetMenuState(menu, app::kCommandConfiguration, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_FALSE(::GetMenuState(menu, app::kCommandFlashUpdate, MF_BYCOMMAND) & MF_GRAYED);
  pumpUntil([] { return false; }, 300ms);
  EXPECT_EQ(boxes, 0);  // no result of the stopped transfer reaches anyone
}

/// A drop of `path` as the shell hands it to a window; WM_DROPFILES's handler frees it.
HDROP dropOf(const std::wstring& path) {
  HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::copy(path.begin(), path.end(), reinterpret_cast<wchar_t*>(drop + 1));  // zeroed after it: the list's end
  ::GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

TEST_F(Win32Shell, OpensAFileGivenToItAndOneDroppedOnIt) {
  tests::TempDir dir;
  const std::wstring kfg = dir.path.wstring() + L"\\Anlage_\u00e4.KFG";  // arrives as UTF-16
  config::ConfigImage image;
  image.setAddress(0, 1234567);
  ASSERT_TRUE(config::saveConfigFile(narrow(kfg), image));
  const std::wstring hex = dir.path.wstring() + L"\\fw.hex";
  const std::string records = ":0400000001020304F2\r\n:00000001FF\r\n";
  ASSERT_TRUE(platform::writeFileReplacing(
      narrow(hex), {reinterpret_cast<const uint8_t*>(records.data()), records.size()}));
  MainWindow window(application(), kCell);
  ::ShowWindow(window.window(), SW_SHOWNORMAL);
  std::wstring box;  // none is expected; one would say why
  ModalWatch watch([&box](HWND shown) {
    box = messageBoxText(shown);
    answer(shown, IDOK);
  });

  window.openFile(kfg);
  ASSERT_NE(window.child(), nullptr);
  auto* content = dynamic_cast<WindowContent*>(window.child()->content());
  ASSERT_NE(content->logicAs<config::ConfigWindow>(), nullptr);
  EXPECT_EQ(content->table().text(ids::address(0)), "1234567");
  ASSERT_TRUE(window.child()->closeWindow());

  ::SendMessageW(window.window(), WM_DROPFILES, reinterpret_cast<WPARAM>(dropOf(hex)), 0);
  ASSERT_NE(window.child(), nullptr);
  content = dynamic_cast<WindowContent*>(window.child()->content());
  ASSERT_NE(content->logicAs<firmware::UpdateWindow>(), nullptr);
  EXPECT_EQ(windowText(content->controls().window(firmware::ids::kFileName)), hex);
  EXPECT_TRUE(::IsWindowEnabled(content->controls().window(firmware::ids::kProgram)));
  EXPECT_EQ(box, L"");
  window.child()->closeWindow();
}

TEST_F(Win32Shell, MessageBoxesCarryTheirTextAndCaptionAndAreOwnedByTheirWindow) {
  app::Application& app = application();
  app.shell().selectedPort = 1;
  MainWindow window(app, kCell);
  window.logic().onCommand(app::kCommandConfiguration, false);
  ASSERT_NE(window.child(), nullptr);
  auto* content = dynamic_cast<WindowContent*>(window.child()->content());

  std::wstring text;
  std::wstring caption;
  HWND owner = nullptr;
  ModalWatch watch([&](HWND box) {
    text = messageBoxText(box);
    caption = windowText(box);
    owner = ::GetWindow(box, GW_OWNER);
    answer(box, IDOK);
  });
  configLogic(content).onCommand(ids::kRead);
  ASSERT_TRUE(pumpUntil([&] { return watch.done(); }));
  EXPECT_EQ(text.rfind(L"Port COM2 konnte nicht ge\u00f6ffnet werden !", 0), 0u) << narrow(text);
  EXPECT_EQ(caption, widen(config::texts::kWindowCaption));
  EXPECT_EQ(owner, window.window());  // a child window's boxes belong to its top-level window
  EXPECT_FALSE(configLogic(content).transferRunning());
  app.shell().selectedPort = 0;
}

// A letter typed on a toggle or a button started its command ("a": "TRV auslesen"),
// as the dialog manager took it for the button's accelerator; Tab skipped every
// unchecked toggle; after a start the focus was on a disabled button and Alt+B went
// to the main window, which let the transfer run on.
TEST_F(Win32Shell, ALetterAloneStartsNothingAltDoesAndTabStopsAtEveryToggle) {
  app::Application& app = silentApplication();
  app.shell().selectedPort = 0;
  MainWindow window(app, kCell);
  WindowContent* content = openConfiguration(window);
  ASSERT_NE(content, nullptr);
  ControlSet& set = content->controls();
  {
    int dialogs = 0;
    ModalWatch fileDialog([&dialogs](HWND dialog) {  // "l" would have opened one
      ++dialogs;
      answer(dialog, IDCANCEL);
    });
    for (int id : {ids::active(4), ids::kRead, ids::kLoad}) {
      ::SetFocus(set.window(id));
      for (wchar_t c : std::wstring(L"apslbAP")) key(window, WM_CHAR, c);
      pumpUntil([] { return false; }, 100ms);
      EXPECT_FALSE(configLogic(content).transferRunning()) << id;
      EXPECT_EQ(focusedId(), id);
    }
    EXPECT_EQ(dialogs, 0);
  }

  key(window, WM_SYSCHAR, 'a');  // Alt+A
  ASSERT_TRUE(configLogic(content).transferRunning());
  EXPECT_EQ(focusedId(), ids::kCancel);
  key(window, WM_SYSCHAR, 'b');  // Alt+B
  EXPECT_FALSE(configLogic(content).transferRunning());
  EXPECT_EQ(focusedId(), ids::kRead);
  key(window, WM_SYSCHAR, 'a');
  ASSERT_TRUE(configLogic(content).transferRunning());
  ::SetFocus(nullptr);  // nothing has the focus: Alt+B reaches the window all the same
  key(window, WM_SYSCHAR, 'b');
  EXPECT_FALSE(configLogic(content).transferRunning());
  EXPECT_FALSE(app.link().isOpen());
  EXPECT_TRUE(::IsChild(window.child()->window(), ::GetFocus()));

  // Row 1 active: from its toggle, Tab goes through the row in reading order, every
  // unchecked toggle included (the sequence waits for the siren relay), to row 2.
  ::SetFocus(set.window(ids::active(0)));
  key(window, WM_KEYDOWN, VK_SPACE);
  key(window, WM_KEYUP, VK_SPACE);
  ASSERT_TRUE(app.configImage().active(0));
  std::vector<int> reached;
  for (int i = 0; i < 12; ++i) {
    key(window, WM_KEYDOWN, VK_TAB);
    reached.push_back(focusedId());
  }
  EXPECT_EQ(reached, (std::vector<int>{ids::address(0), ids::function(0), ids::siren(0), ids::relay(0, 0),
                                       ids::relay(1, 0), ids::relay(2, 0), ids::relay(3, 0), ids::relay(4, 0),
                                       ids::relay(5, 0), ids::relay(6, 0), ids::relay(7, 0), ids::active(1)}));
  // A toggle has no caption for the button to draw the focus around; it shows all the same.
  HWND toggle = set.window(ids::active(1));
  const std::vector<COLORREF> focused = screenPixels(toggle);
  key(window, WM_KEYDOWN, VK_TAB);
  EXPECT_NE(screenPixels(toggle), focused);
  EXPECT_TRUE(discardAndClose(window));
}

// After a form error the field had the focus but not its text selected, so "5" then
// "8" gave "58"; a paste too long was cut to a valid-looking value; the close
// question answered "Ja" to Enter.
TEST_F(Win32Shell, AFormErrorSelectsItsFieldAPasteIsTakenWholeOrNotAndEnterAnswersNein) {
  app::Application& app = silentApplication();
  MainWindow window(app, kCell);
  WindowContent* content = openConfiguration(window);
  ASSERT_NE(content, nullptr);
  ControlSet& set = content->controls();
  Win32ControlTable table(set);
  table.setText(ids::switchOnTime(0), "0");
  {
    ModalWatch error([](HWND box) { answer(box, IDOK); });
    configLogic(content).onCommand(ids::kProgram);
    ASSERT_TRUE(error.done());
  }
  EXPECT_EQ(focusedId(), ids::switchOnTime(0));
  key(window, WM_CHAR, '5');
  EXPECT_EQ(table.text(ids::switchOnTime(0)), "5");

  HWND deadTime = set.window(ids::kDeadTime);
  table.setText(ids::kDeadTime, "5");
  ::SetFocus(deadTime);
  ::SendMessageW(deadTime, EM_SETSEL, 0, -1);
  putOnClipboard(window.window(), L"1000");
  ::SendMessageW(deadTime, WM_PASTE, 0, 0);
  EXPECT_EQ(table.text(ids::kDeadTime), "5");
  EXPECT_EQ(table.text(ids::kStatus), "Nicht eingef\xFCgt: h\xF6" "chstens 3 Zeichen. Erlaubt sind 1 bis 254 s.");
  putOnClipboard(window.window(), L"254\r\n");
  ::SendMessageW(deadTime, WM_PASTE, 0, 0);
  EXPECT_EQ(table.text(ids::kDeadTime), "254");

  // Unsaved edits: closing asks, and Enter there is "Nein". The key goes to the box
  // (its button with the focus, once it has one), as the box may not be active yet.
  ModalWatch question([](HWND box) {
    HWND focus = ::GetFocus();
    ::PostMessageW(focus && ::IsChild(box, focus) ? focus : box, WM_KEYDOWN, VK_RETURN, 1);
  });
  EXPECT_FALSE(window.child()->closeWindow());
  EXPECT_TRUE(question.done());
  ASSERT_NE(window.child(), nullptr);
  EXPECT_TRUE(discardAndClose(window));
}

// The edits' text sat 6 to 8 pixels above the labels' line; a status that changed
// with every block redrew the whole flash-update window, buttons blanked meanwhile.
TEST_F(Win32Shell, EditTextSitsOnTheLabelsLineAndAStatusRedrawsOnlyItsLabel) {
  app::Application& app = application();
  MainWindow window(app, kCell);
  WindowContent* content = openConfiguration(window);
  ASSERT_NE(content, nullptr);
  for (int id : {ids::kDeadTime, ids::kIdent, ids::address(0)}) {
    HWND edit = content->controls().window(id);
    RECT frame{};
    ::GetWindowRect(edit, &frame);
    RECT client{};
    ::GetClientRect(edit, &client);
    ::MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_LE(std::abs((client.top + client.bottom) - (frame.top + frame.bottom)), 1) << id;  // the same middle
    EXPECT_LT(client.bottom - client.top, frame.bottom - frame.top - 4) << id;
  }
  window.child()->closeWindow();

  window.logic().onCommand(app::kCommandFlashUpdate, false);
  auto* update = dynamic_cast<WindowContent*>(window.child()->content());
  ASSERT_NE(update, nullptr);
  HWND child = window.child()->window();
  Win32ControlTable table(update->controls());
  pumpUntil([] { return false; }, 200ms);
  ::ValidateRect(child, nullptr);
  for (int i = 1; i <= 65; ++i)
    table.setText(firmware::ids::kStatus, std::to_string(i) + " von 65 Bl\xF6" "cken programmiert !\n" +
                                              std::to_string(i * 100 / 65) + " %");
  RECT dirty{};
  EXPECT_FALSE(::GetUpdateRect(child, &dirty, FALSE)) << dirty.left << "," << dirty.top << " " << dirty.right << ","
                                                      << dirty.bottom;
  window.child()->closeWindow();
}

// Run by the Windows suite through tests/windows/with-unit.sh only: the simulated unit
// with scripts/widest-values.kfg is the COM port it names, reached through Wine's port
// mapping; COM1 is pointed at it.
TEST(Win32Simulated, ReadsTheUnitAndShowsItsValues) {
  const char* port = std::getenv("TRV810_TEST_PORT");
  ASSERT_NE(port, nullptr) << "run through tests/windows/with-unit.sh";
  ::_putenv_s("TRV810_COM1", (std::string("\\\\.\\") + port).c_str());
  app::Application app(link::PortTable::fromEnvironment());
  MainWindow window(app, kCell);
  ::ShowWindow(window.window(), SW_SHOWNORMAL);
  window.logic().onCommand(app::kCommandConfiguration, false);
  auto* content = dynamic_cast<WindowContent*>(window.child()->content());
  ASSERT_NE(content, nullptr);

  std::wstring text;
  ModalWatch watch([&text](HWND box) {
    text = messageBoxText(box);
    answer(box, IDOK);
  });
  configLogic(content).onCommand(ids::kRead);
  ASSERT_TRUE(pumpUntil([&] { return watch.done() && !configLogic(content).transferRunning(); }, 30000ms));
  EXPECT_EQ(text, L"Konfiguration gelesen !");
  Win32ControlTable table(content->controls());
  EXPECT_EQ(windowText(window.child()->window()), L"TRV810-Konfiguration, Firmware 01.07");
  EXPECT_EQ(table.text(ids::address(0)), "1234567");
  EXPECT_EQ(table.text(ids::switchOnTime(0)), "65000");
  EXPECT_EQ(table.text(ids::kIdent), std::string(16, 'W'));
  EXPECT_TRUE(table.checked(ids::active(0)));
}

/// Whether every one of `buttons` shows on the screen as more than one colour: a
/// button the window's own painting has blanked is one even grey.
bool buttonsShowOnScreen(const std::vector<HWND>& buttons) {
  HDC screen = ::GetDC(nullptr);
  bool whole = true;
  for (HWND button : buttons) {
    RECT r{};
    ::GetWindowRect(button, &r);
    COLORREF first = ::GetPixel(screen, r.left + 2, r.top + 2);
    bool more = false;
    for (LONG y = r.top + 2; y < r.bottom - 2 && !more; y += 2)
      for (LONG x = r.left + 2; x < r.right - 2 && !more; x += 2) more = ::GetPixel(screen, x, y) != first;
    whole = whole && more;
  }
  ::ReleaseDC(nullptr, screen);
  return whole;
}

// Run by the Windows suite through tests/windows/with-unit.sh with a unit that takes
// 19200 baud: the flash-update window by keyboard alone. With the focus on a button,
// "p" erased and programmed the unit; the three buttons were no tab stops; pictures
// taken while programming showed the window blank or half drawn.
TEST(Win32Simulated, FlashByKeyboardAndEveryPictureWhileProgrammingShowsTheButtons) {
  const char* port = std::getenv("TRV810_TEST_PORT");
  ASSERT_NE(port, nullptr) << "run through tests/windows/with-unit.sh";
  ::_putenv_s("TRV810_COM1", (std::string("\\\\.\\") + port).c_str());
  app::Application app(link::PortTable::fromEnvironment());
  MainWindow window(app, kCell);
  ::ShowWindow(window.window(), SW_SHOWNORMAL);
  window.logic().onCommand(app::kCommandFlashUpdate, false);  // Alt+T, L
  auto* content = dynamic_cast<WindowContent*>(window.child()->content());
  ASSERT_NE(content, nullptr);
  EXPECT_EQ(focusedId(), firmware::ids::kHexFile);  // the window has the keyboard

  // 4 KiB as HEX: 512 blocks, some seconds at 19200 baud.
  tests::TempDir dir;
  std::string hex;
  for (uint16_t address = 0; address < 4096; address += 16) {
    std::vector<uint8_t> line(16);
    for (std::size_t i = 0; i < line.size(); ++i) line[i] = static_cast<uint8_t>(address + i * 7);
    hex += firmware::test::data(address, line);
  }
  const std::string file = dir.write("fw.hex", hex + firmware::test::kEnd);
  flashLogic(content).onFileChosen(file);
  ::SetFocus(content->controls().window(firmware::ids::kHexFile));
  for (wchar_t c : std::wstring(L"pPsh")) key(window, WM_CHAR, c);
  pumpUntil([] { return false; }, 300ms);
  EXPECT_FALSE(flashLogic(content).transferRunning());
  EXPECT_FALSE(app.link().isOpen());  // nothing reached the unit

  key(window, WM_SYSCHAR, 'p');  // Alt+P
  ASSERT_TRUE(flashLogic(content).transferRunning());
  EXPECT_EQ(focusedId(), firmware::ids::kStop);
  std::vector<HWND> buttons;
  for (int id : {firmware::ids::kHexFile, firmware::ids::kProgram, firmware::ids::kStop})
    buttons.push_back(content->controls().window(id));
  Win32ControlTable table(content->controls());
  int pictures = 0;
  int whole = 0;
  pumpUntil([&] { return table.text(firmware::ids::kStatus).find("Bl\xF6" "cken") != std::string::npos; }, 10000ms);
  while (flashLogic(content).transferRunning() && pictures < 15) {
    pumpUntil([] { return false; }, 100ms);
    ++pictures;
    whole += buttonsShowOnScreen(buttons) ? 1 : 0;
  }
  EXPECT_GE(pictures, 10);
  EXPECT_EQ(whole, pictures);
  ASSERT_TRUE(flashLogic(content).transferRunning());
  key(window, WM_SYSCHAR, 's');  // Alt+S
  EXPECT_FALSE(flashLogic(content).transferRunning());
  EXPECT_FALSE(app.link().isOpen());
  EXPECT_EQ(table.text(firmware::ids::kStatus),
            "Programmierung abgebrochen !\nFirmware unvollst\xE4ndig: vor Gebrauch neu flashen !");
  EXPECT_EQ(focusedId(), firmware::ids::kProgram);
}

// Run on a display of 1024 x 600 (Win32Face.SmallScreen): the window fits the work
// area, and the configuration window's lowest controls, below it at first, come into
// view when they take the focus.
TEST(Win32SmallScreen, WindowFitsTheWorkAreaAndScrollsToTheFocus) {
  app::Application app(link::PortTable::defaults());
  // A large font's cell: the window is wider and lower than the screen.
  constexpr window::CellSize large{10, 20};
  MainWindow window(app, large);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(window.window(), MONITOR_DEFAULTTOPRIMARY), &monitor));
  const RECT work = monitor.rcWork;
  ASSERT_LT(work.bottom - work.top, 46 * large.height) << "needs a work area lower than the window";
  RECT frame{};
  ::GetWindowRect(window.window(), &frame);
  RECT inside{};
  ::IntersectRect(&inside, &frame, &work);
  EXPECT_TRUE(::EqualRect(&inside, &frame));

  ::ShowWindow(window.window(), SW_SHOWNORMAL);
  window.logic().onCommand(app::kCommandConfiguration, false);
  ASSERT_NE(window.child(), nullptr);
  ControlSet& controls = dynamic_cast<WindowContent*>(window.child()->content())->controls();
  auto inView = [&](HWND control) {
    RECT view{};
    ::GetClientRect(window.window(), &view);
    ::MapWindowPoints(window.window(), nullptr, reinterpret_cast<POINT*>(&view), 2);
    ::IntersectRect(&view, &view, &work);
    RECT at{};
    ::GetWindowRect(control, &at);
    RECT shown{};
    ::IntersectRect(&shown, &at, &view);
    return ::EqualRect(&shown, &at) != FALSE;
  };
  auto focus = [&](int id) {
    ::SetFocus(controls.window(id));
    return controls.window(id);
  };
  EXPECT_TRUE(inView(focus(ids::address(0))));
  EXPECT_FALSE(inView(controls.window(ids::kSave)));  // the screen is too low for both
  EXPECT_TRUE(inView(focus(ids::kSave)));
  window.child()->closeWindow();
}

}  // namespace
}  // namespace trv810::ui::win32
