#include "app/application.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/child_windows.h"
#include "app/main_window.h"
#include "app/port_dialog.h"
#include "config/config_file.h"
#include "config/control_ids.h"
#include "fakes.h"
#include "firmware/update_window.h"
#include "support/linux_ports.h"
#include "support/temp_dir.h"
#include "transfer/notification_queue.h"

namespace trv810::app {
namespace {

TEST(Application, StartsWithCom1NoChildAndClearEvents) {
  Application app(link::PortTable::defaults());
  EXPECT_EQ(app.shell().selectedPort, 0);
  EXPECT_FALSE(app.shell().childOpen());
  EXPECT_EQ(app.events().stop.resetMode(), platform::Event::Reset::Manual);
  EXPECT_EQ(app.events().frameReady.resetMode(), platform::Event::Reset::Automatic);
  EXPECT_EQ(app.events().slotConsumed.resetMode(), platform::Event::Reset::Automatic);
  EXPECT_FALSE(app.events().stop.isSet());
  app.closePort();  // safe while nothing is open
}


// A store whose saved values outlive it, as the settings file outlives a run.
class StoreOnDisk : public platform::SettingsStore {
 public:
  explicit StoreOnDisk(Values& disk) : disk_(disk) { load(); }
  void load() override { values_ = disk_; }
  bool save() override {
    disk_ = values_;
    return true;
  }

 private:
  Values& disk_;
};

// One run of the desktop program over `disk`: the application, the main window and
// what a child window needs.
struct ProgramRun {
  explicit ProgramRun(platform::SettingsStore::Values& disk)
      : application(tests::linuxPortTable(), std::make_unique<StoreOnDisk>(disk)) {
    window.onCreate(window::CellSize{8, 16});
    window.onSize(816, 680);
  }
  // Opens the child window of `kind`, clicks `id` in it with `path` chosen in its file
  // dialog (none: cancelled), and closes it; the request its dialog got.
  window::FileDialogRequest chooseIn(ChildKind kind, int id, const std::optional<std::string>& path) {
    host.chosenPath = path;
    window::MemoryControlTable controls;
    transfer::NotificationQueue sink;
    const window::WindowSpec layout = childLayout(kind, application.shell());
    std::unique_ptr<ChildLogic> child = makeChildLogic(kind, application, layout, controls, host, sink);
    child->onCreate();
    child->input().command(id);
    child->onClose();
    return host.fileDialogs.back();
  }

  Application application;
  window::MemoryControlTable menu;
  test::RecordingHost host;
  test::ScriptedShellHost shellHost;
  MainWindow window{application.shell(), menu, host, shellHost, [] {}};
};

// Start, choose COM3, load a file from a folder, quit, start again: COM3 and that
// folder are back; each kind of file keeps its own folder, only files that opened
// count as recent, and a window position off every screen now gives the default.
TEST(ApplicationRemembers, PortFoldersRecentFilesAndPositionFromOneRunToTheNext) {
  tests::TempDir configs;
  tests::TempDir firmware;
  const std::string first = configs.file("mast-1.kfg");
  const std::string second = configs.file("mast-2.kfg");
  ASSERT_TRUE(config::saveConfigFile(first, config::ConfigImage{}));
  ASSERT_TRUE(config::saveConfigFile(second, config::ConfigImage{}));
  const std::string broken = firmware.write("broken.hex", std::string_view("kein HEX"));
  platform::SettingsStore::Values disk;
  {
    ProgramRun run(disk);
    EXPECT_EQ(run.application.shell().selectedPort, 0);  // nothing remembered yet
    run.host.clicks = {PortDialog::kFirstPortId + 2, PortDialog::kOkId};
    run.window.onCommand(kCommandPort, false);
    EXPECT_TRUE(run.host.fileDialogs.empty());
    const window::FileDialogRequest fresh = run.chooseIn(ChildKind::Configuration, config::ids::kLoad, first);
    EXPECT_EQ(fresh.startFolder, "");
    EXPECT_EQ(fresh.startPath, "");
    run.chooseIn(ChildKind::Configuration, config::ids::kLoad, second);
    run.chooseIn(ChildKind::FlashUpdate, firmware::ids::kHexFile, broken);  // chosen, but does not load
    run.window.onClosing({1300, 40});
  }
  {
    ProgramRun run(disk);
    EXPECT_EQ(run.application.shell().selectedEntry().name, "COM3");
    const window::FileDialogRequest configRequest =
        run.chooseIn(ChildKind::Configuration, config::ids::kLoad, std::nullopt);
    EXPECT_EQ(configRequest.startFolder, configs.path.string());
    EXPECT_EQ(configRequest.startPath, second);  // the most recent file, in that folder
    EXPECT_EQ(configRequest.recentFiles, (std::vector<std::string>{second, first}));
    const window::FileDialogRequest firmwareRequest =
        run.chooseIn(ChildKind::FlashUpdate, firmware::ids::kHexFile, std::nullopt);
    EXPECT_EQ(firmwareRequest.startFolder, firmware.path.string());
    EXPECT_EQ(firmwareRequest.startPath, "");
    EXPECT_TRUE(firmwareRequest.recentFiles.empty());

    // The window stands where it was left when that is on a screen (here the second
    // of two), else at 0,0.
    const window::Rect left{0, 0, 1280, 1024};
    const window::Rect right{1280, 0, 1024, 768};
    EXPECT_EQ(run.window.onCreate({8, 16}, {left, right}), (window::Rect{1300, 40, 832, 736}));
    EXPECT_EQ(run.window.onCreate({8, 16}, {left}), (window::Rect{0, 0, 832, 736}));
    run.window.onClosing({1200, 1000});  // title bar below the bottom of the screen
    EXPECT_EQ(run.window.onCreate({8, 16}, {left, right}), (window::Rect{0, 0, 832, 736}));

    // A network address comes back as the port it names.
    run.host.typed = {{PortDialog::kAddressId, "socket://10.0.0.5:4001"}};
    run.host.clicks = {PortDialog::kOkId};
    run.window.onCommand(kCommandPort, false);
  }
  EXPECT_EQ(ProgramRun(disk).application.shell().selectedEntry().device, "socket://10.0.0.5:4001");
  // A port the dialog cannot show (a hand-edited store, one from another version)
  // gives the default.
  for (const char* unknown : {"COM13", "/dev/ttyUSB0", "socket://10.0.0.5", ""}) {
    disk["port"] = std::string(unknown);
    EXPECT_EQ(ProgramRun(disk).application.shell().selectedPort, 0) << unknown;
  }
}

}  // namespace
}  // namespace trv810::app
