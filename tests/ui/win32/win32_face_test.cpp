// The Win32 face over the window logic: controls built from the layout tables, the
// notification sink, closing a child window during a transfer, and message boxes
// owned by their window. What the window logic does is tested with the logic.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "app/application.h"
#include "config/control_ids.h"
#include "config/texts.h"
#include "ui/win32/control_set.h"
#include "ui/win32/main_window.h"
#include "ui/win32/modal_watch.h"
#include "ui/win32/notification_sink.h"
#include "ui/win32/text.h"
#include "support/silent_unit.h"

namespace trv810::ui::win32 {
namespace {

namespace ids = config::ids;
using namespace std::chrono_literals;

constexpr platform::CellSize kCell{8, 16};

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

platform::Rect placeOf(HWND control) {
  RECT r{};
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void type(HWND edit, std::wstring_view text) {
  for (wchar_t c : text) ::SendMessageW(edit, WM_CHAR, c, 0);
}

TEST(Win32Face, ControlsCarryTheirIdsAndCellsAndEditsTakeOnlyWhatTheyMay) {
  const platform::WindowSpec layout = config::ConfigWindow::layout(kCell, 100 * kCell.width, 40 * kCell.height);
  HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 900, 700, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
  {
    ControlSet set(parent, layout.controls, static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)), {});
    Win32ControlTable table(set);
    for (const platform::ControlSpec& entry : layout.controls) {
      if (entry.id < 0) continue;
      SCOPED_TRACE(entry.id);
      HWND control = set.window(entry.id);
      ASSERT_NE(control, nullptr);
      EXPECT_EQ(::GetDlgCtrlID(control), entry.id);
      const platform::Rect at = placeOf(control);
      EXPECT_EQ(at.x, entry.x);
      EXPECT_EQ(at.y, entry.y);
      EXPECT_GE(at.w, entry.w);  // an edit grows to show its widest value
      if (entry.kind != platform::ControlKind::List) {
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
    ControlSet toggles(parent, {platform::control(platform::ControlKind::Toggle, 8, "", 0, 0, 20, 20)},
                       nullptr, clicksTo([&clicked](int id) { clicked = id; }));
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

  auto* content = dynamic_cast<ConfigurationContent*>(window.child()->content());
  ASSERT_NE(content, nullptr);
  content->logic().onCommand(ids::kRead);
  ASSERT_TRUE(content->logic().transferRunning());
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

TEST_F(Win32Shell, MessageBoxesCarryTheirTextAndCaptionAndAreOwnedByTheirWindow) {
  app::Application& app = application();
  app.shell().selectedPort = 1;
  MainWindow window(app, kCell);
  window.logic().onCommand(app::kCommandConfiguration, false);
  ASSERT_NE(window.child(), nullptr);
  auto* content = dynamic_cast<ConfigurationContent*>(window.child()->content());

  std::wstring text;
  std::wstring caption;
  HWND owner = nullptr;
  ModalWatch watch([&](HWND box) {
    text = messageBoxText(box);
    caption = windowText(box);
    owner = ::GetWindow(box, GW_OWNER);
    answer(box, IDOK);
  });
  content->logic().onCommand(ids::kRead);
  ASSERT_TRUE(pumpUntil([&] { return watch.done(); }));
  EXPECT_EQ(text.rfind(L"Port COM2 konnte nicht ge\u00f6ffnet werden !", 0), 0u) << narrow(text);
  EXPECT_EQ(caption, widen(config::texts::kWindowCaption));
  EXPECT_EQ(owner, window.window());  // a child window's boxes belong to its top-level window
  EXPECT_FALSE(content->logic().transferRunning());
  app.shell().selectedPort = 0;
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
  auto* content = dynamic_cast<ConfigurationContent*>(window.child()->content());
  ASSERT_NE(content, nullptr);

  std::wstring text;
  ModalWatch watch([&text](HWND box) {
    text = messageBoxText(box);
    answer(box, IDOK);
  });
  content->logic().onCommand(ids::kRead);
  ASSERT_TRUE(pumpUntil([&] { return watch.done() && !content->logic().transferRunning(); }, 30000ms));
  EXPECT_EQ(text, L"Konfiguration gelesen !");
  Win32ControlTable table(content->controls());
  EXPECT_EQ(windowText(window.child()->window()), L"TRV810-Konfiguration, Firmware 01.07");
  EXPECT_EQ(table.text(ids::address(0)), "1234567");
  EXPECT_EQ(table.text(ids::switchOnTime(0)), "65000");
  EXPECT_EQ(table.text(ids::kIdent), std::string(16, 'W'));
  EXPECT_TRUE(table.checked(ids::active(0)));
}

}  // namespace
}  // namespace trv810::ui::win32
