#include "app/main_window.h"

#include <gtest/gtest.h>

#include "app/menu.h"
#include "fakes.h"
#include "support/temp_dir.h"

namespace trv810::app {
namespace {

using window::CellSize;
using window::Rect;

struct MainWindowTest : ::testing::Test {
  ShellState shell{link::PortTable::defaults()};
  window::MemoryControlTable menu;
  test::RecordingHost host;
  test::ScriptedShellHost shellHost;
  int portClosings = 0;
  MainWindow window{shell, menu, host, shellHost, [this] { ++portClosings; }};
};

TEST_F(MainWindowTest, CreationSizesTheWindowFromTheCell) {
  EXPECT_EQ(window.onCreate(CellSize{8, 16}), (Rect{0, 0, 832, 736}));
  EXPECT_EQ(shell.cell, (CellSize{8, 16}));
  EXPECT_EQ(window.onCreate(CellSize{7, 15}), (Rect{0, 0, 728, 690}));
  window.onSize(816, 680);
  EXPECT_EQ(shell.clientWidth, 816);
  EXPECT_EQ(shell.clientHeight, 680);

  // On a smaller screen the frame takes the work area's height (or width) and room for
  // the scroll bar the client area then needs across; a bar may call for the other.
  const Rect big{0, 0, 1248, 1104};
  EXPECT_EQ(MainWindow::fitFrame({0, 0, 728, 644}, {0, 0, 1280, 984}, 17, 17), (Rect{0, 0, 728, 644}));
  EXPECT_EQ(MainWindow::fitFrame(big, {0, 0, 1280, 984}, 25, 25), (Rect{0, 0, 1273, 984}));
  EXPECT_EQ(MainWindow::fitFrame(big, {0, 0, 1260, 984}, 25, 25), (Rect{0, 0, 1260, 984}));
  EXPECT_EQ(MainWindow::fitFrame({0, 0, 832, 736}, {0, 40, 1024, 560}, 17, 17), (Rect{0, 40, 849, 560}));
  EXPECT_EQ(MainWindow::fitFrame({0, 0, 1010, 500}, {0, 0, 1024, 560}, 17, 17), (Rect{0, 0, 1010, 500}));
  EXPECT_EQ(MainWindow::fitFrame({0, 0, 1010, 600}, {0, 0, 1024, 560}, 17, 17), (Rect{0, 0, 1024, 560}));
}

TEST_F(MainWindowTest, MenuHasItsEntriesAndIds) {
  const std::vector<MenuEntry> entries = mainMenu();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].text, "&TRV810");
  ASSERT_EQ(entries[0].items.size(), 2u);
  EXPECT_EQ(entries[0].items[0].text, "F&lash-Update!");
  EXPECT_EQ(entries[0].items[0].id, 10);
  EXPECT_EQ(entries[0].items[1].text, "&Konfiguration");
  EXPECT_EQ(entries[0].items[1].id, 14);
  EXPECT_EQ(entries[1].text, "&Kommunikations-Port!");
  EXPECT_EQ(entries[1].id, 30);
  EXPECT_EQ(entries[2].text, "&Info");
  EXPECT_EQ(entries[2].id, 50);
  EXPECT_EQ(menuCommandIds(), (std::vector<int>{10, 14, 30, 50}));
  EXPECT_EQ(kMenuList, (std::array<uint8_t, 3>{10, 14, 0xFF}));
}

TEST_F(MainWindowTest, ChildGreysTheMenuListUntilItCloses) {
  for (int command : {kCommandConfiguration, kCommandFlashUpdate}) {
    ASSERT_TRUE(window.onCommand(command, false));
    EXPECT_FALSE(menu.enabled(10));
    EXPECT_FALSE(menu.enabled(14));
    EXPECT_TRUE(menu.enabled(30));
    EXPECT_TRUE(menu.enabled(50));
    EXPECT_TRUE(shell.childOpen());

    window.onChildClosed();
    EXPECT_TRUE(menu.enabled(10));
    EXPECT_TRUE(menu.enabled(14));
    EXPECT_FALSE(shell.childOpen());
  }
  EXPECT_EQ(shellHost.created, (std::vector{ChildKind::Configuration, ChildKind::FlashUpdate}));
  EXPECT_EQ(portClosings, 2);
}

TEST_F(MainWindowTest, PortDialogAndInfoStayUsableWithAChildOpen) {
  window.onCommand(kCommandConfiguration, false);
  window.onCommand(kCommandFlashUpdate, false);  // greyed: must not open a second child
  EXPECT_EQ(shellHost.created.size(), 1u);
  EXPECT_EQ(shell.child, ChildKind::Configuration);

  host.clicks = {PortDialog::kFirstPortId + 2, PortDialog::kOkId};
  EXPECT_TRUE(window.onCommand(kCommandPort, false));
  EXPECT_EQ(shell.selectedPort, 2);
  EXPECT_TRUE(window.onCommand(kCommandInfo, false));
  EXPECT_EQ(host.boxes.size(), 1u);
}

TEST_F(MainWindowTest, FailedChildCreationLeavesTheMenuEnabled) {
  shellHost.childCreation = false;
  window.onCommand(kCommandConfiguration, false);
  EXPECT_TRUE(menu.enabled(10));
  EXPECT_TRUE(menu.enabled(14));
  EXPECT_FALSE(shell.childOpen());
}

TEST_F(MainWindowTest, CommandsFromControlsAndUnknownIdsDoNothing) {
  for (int id : {10, 14, 30, 50}) EXPECT_FALSE(window.onCommand(id, true));
  EXPECT_FALSE(window.onCommand(11, false));
  EXPECT_TRUE(shellHost.created.empty());
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(menu.enabled(10));
}

TEST_F(MainWindowTest, InfoBoxStartsWithTheVersion) {
  window.onCommand(kCommandInfo, false);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text.rfind("V1.30", 0), 0u);
  EXPECT_EQ(host.boxes[0].caption, "TRV810");
  EXPECT_EQ(host.boxes[0].icon, window::Icon::Information);
}

TEST_F(MainWindowTest, FilesFromOutsideOpenTheWindowTheirNameAsksFor) {
  tests::TempDir dir;
  const std::string kfg = dir.write("Anlage.KFG", "x");
  const std::string hex = dir.write("fw.hex", "x");
  const std::string bin = dir.write("FW.BIN", "x");

  // Each opens its window and reaches it; the same kind again goes to the open window.
  window.openFile(kfg);
  window.openFile(kfg);
  EXPECT_EQ(shellHost.created, (std::vector{ChildKind::Configuration}));
  // Another kind while a window is open: the user is told to close it first.
  window.openFile(hex);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].text.find("„TRV810-Konfiguration“"), std::string::npos);
  EXPECT_NE(host.boxes[0].text.find(hex), std::string::npos);
  window.onChildClosed();
  window.openFile(bin);
  window.openFile(hex);
  EXPECT_EQ(shellHost.created, (std::vector{ChildKind::Configuration, ChildKind::FlashUpdate}));
  EXPECT_EQ(shellHost.child.opened, (std::vector{kfg, kfg, bin, hex}));
  window.onChildClosed();

  // An unknown ending, a name that merely contains one, and a file that is not there:
  // a box with the path, and no window.
  host.boxes.clear();
  const std::string missing = dir.file("weg.kfg");
  for (const std::string& path : {dir.write("notes.txt", "x"), dir.write("kfg", "x"), missing})
    window.openFile(path);
  ASSERT_EQ(host.boxes.size(), 3u);
  EXPECT_EQ(host.boxes[0].text.rfind("Diese Datei kann das Programm nicht öffnen", 0), 0u);
  EXPECT_EQ(host.boxes[2].text, "Datei nicht vorhanden !\n" + missing);
  for (const test::Box& box : host.boxes) EXPECT_EQ(box.icon, window::Icon::Error);
  EXPECT_EQ(shellHost.created.size(), 2u);
  EXPECT_FALSE(shell.childOpen());
  EXPECT_TRUE(menu.enabled(kCommandConfiguration));
}

TEST_F(MainWindowTest, ExitClosesThePortWithAChildOpen) {
  window.onCommand(kCommandFlashUpdate, false);
  window.onExit();
  EXPECT_EQ(portClosings, 1);
}

}  // namespace
}  // namespace trv810::app
