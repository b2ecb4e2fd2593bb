// The configuration window against the simulated unit on its pseudo-terminal, as COM1.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "config/control_ids.h"
#include "support/ser2net.h"
#include "support/simulator.h"
#include "window_fixture.h"

namespace trv810 {
namespace {

namespace ids = config::ids;
using window::Icon;
using tests::Simulator;

std::vector<std::string> unpaced(std::vector<std::string> more = {}) {
  std::vector<std::string> options{"--baud", "0", "--erase-delay-ms", "0"};
  options.insert(options.end(), more.begin(), more.end());
  return options;
}

struct SimWindow : testing::WindowFixture {
  explicit SimWindow(const std::vector<std::string>& options)
      : WindowFixture(platform::makeSerialDeviceOpener()), sim(options) {
    ports.setDevice(0, sim.device());
  }

  /// Runs command `id` to its end; the one message box it showed.
  testing::WindowHostRecord::Box run(int id) {
    host.boxes.clear();
    window.onCommand(id);
    EXPECT_TRUE(window.transferRunning());
    EXPECT_TRUE(pumpUntilIdle());
    EXPECT_EQ(host.boxes.size(), 1u);
    return host.boxes.empty() ? testing::WindowHostRecord::Box{} : host.boxes.back();
  }

  Simulator sim;
};

TEST(ConfigWindowWithUnit, ReadsTheConfigurationIntoTheForm) {
  SimWindow w(unpaced());
  w.window.onScroll(config::ScrollRequest::Thumb, 12);
  const auto box = w.run(ids::kRead);
  EXPECT_EQ(box.text, "Konfiguration gelesen !");
  EXPECT_EQ(box.caption, "TRV810-Upload");
  EXPECT_EQ(box.icon, Icon::Information);
  EXPECT_EQ(w.host.title, "TRV810-Konfiguration, Firmware 01.07");
  EXPECT_EQ(w.window.form().topRow(), 0);
  EXPECT_EQ(w.controls.selection(ids::kScrollBar), 0);
  EXPECT_TRUE(w.controls.checked(ids::active(0)));
  EXPECT_EQ(w.controls.text(ids::address(0)), "1234567");
  EXPECT_EQ(w.controls.selection(ids::function(3)), 3);
  EXPECT_EQ(w.controls.text(ids::sequence(0)), "ON05,OFF10,H0512,R03");
  EXPECT_EQ(w.controls.text(ids::kManualSequence), "ON30,OFF05,R02");
  EXPECT_EQ(w.controls.text(ids::kIdent), "TRV810-SIM");
  EXPECT_EQ(w.controls.text(ids::kAlarmInterval), "120");
  EXPECT_TRUE(w.buttonsIdle());
  EXPECT_EQ(w.host.progress, 0);
  EXPECT_FALSE(w.link.isOpen());
}

// COM1 pointed at a network address, as TRV810_COM1=rfc2217://... does: the window
// reads through ser2net as through a serial port, and names the port and the server
// when nobody listens.
TEST(ConfigWindowWithUnit, ReadsThroughASerialDeviceServerAsCom1) {
  Simulator sim(unpaced());
  tests::Ser2net server(sim.device());
  testing::WindowFixture w(platform::makeDeviceOpener());
  w.ports.setDevice(0, server.rfc2217());
  w.window.onCommand(ids::kRead);
  ASSERT_TRUE(w.pumpUntilIdle());
  ASSERT_EQ(w.host.boxes.size(), 1u);
  EXPECT_EQ(w.host.boxes.back().text, "Konfiguration gelesen !");
  EXPECT_EQ(w.controls.text(ids::kIdent), "TRV810-SIM");

  const tests::ClosedPort closed;
  w.ports.setDevice(0, "socket://127.0.0.1:" + std::to_string(closed.port()));
  w.host.boxes.clear();
  w.window.onCommand(ids::kRead);
  ASSERT_EQ(w.host.boxes.size(), 1u);
  EXPECT_EQ(w.host.boxes.back().text, "Port COM1 konnte nicht geöffnet werden !\n\nUnter 127.0.0.1:" +
                                          std::to_string(closed.port()) +
                                          " nimmt niemand Verbindungen an: läuft der Server, und stimmt die Portnummer ?");
}

TEST(ConfigWindowWithUnit, AnOlderUnitDeliversFormatTwoWithAWarning) {
  SimWindow w(unpaced({"--formats", "2,1"}));
  const auto box = w.run(ids::kRead);
  EXPECT_EQ(box.text, "Veraltete HBX2-Firmware! Nicht unterstützte Eingabefelder werden mit Defaultdaten geladen.");
  EXPECT_EQ(box.caption, "TRV810-Upload");
  EXPECT_EQ(box.icon, Icon::Error);
  EXPECT_EQ(w.transfer.formatIndex().load(), 2);
  EXPECT_EQ(w.controls.text(ids::sequence(0)), "ON05,OFF10,H0512,R03");
  EXPECT_EQ(w.controls.text(ids::kDeadTime), "30");
}

TEST(ConfigWindowWithUnit, WrongCheckBytesLeaveTheFormAsItWas) {
  SimWindow w(unpaced({"--bad-checksum"}));
  const auto box = w.run(ids::kRead);
  EXPECT_EQ(box.text, "TRV810-Konfiguration ungültig !");
  EXPECT_EQ(box.caption, "TRV810");
  EXPECT_EQ(w.host.title, "TRV810-Konfiguration, Firmware 01.07");
  EXPECT_EQ(w.image, config::ConfigImage{});
  EXPECT_EQ(w.controls.text(ids::kIdent), "");
}

TEST(ConfigWindowWithUnit, AnIncompatibleUnitIsNamed) {
  SimWindow w(unpaced({"--incompatible"}));
  const auto box = w.run(ids::kRead);
  EXPECT_EQ(box.text, "TRV810-Firmware nicht kompatibel ! Aktualisieren Sie auf mindestens Version 1.7 !");
  EXPECT_EQ(box.caption, "TRV810");
  EXPECT_EQ(box.icon, Icon::Error);
}

TEST(ConfigWindowWithUnit, ProgramsExactlyTheImageOfTheForm) {
  const std::string saved = ::testing::TempDir() + "cfgwin_saved_" + std::to_string(::getpid()) + ".kfg";
  SimWindow w(unpaced({"--save-config", saved}));
  w.run(ids::kRead);
  w.window.onScroll(config::ScrollRequest::Thumb, 20);
  w.window.onCommand(ids::active(5));  // row 26
  w.controls.setText(ids::address(5), "2000000");
  w.controls.setText(ids::kDeadTime, "42");
  const auto box = w.run(ids::kProgram);
  EXPECT_EQ(box.text, "Programmierung erfolgreich !");
  EXPECT_EQ(box.caption, "TRV810");
  EXPECT_EQ(box.icon, Icon::Information);
  EXPECT_EQ(w.image.address(25), 2000000u);
  EXPECT_EQ(w.image.deadTime(), 42);

  std::ifstream in(saved, std::ios::binary);
  const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
  ASSERT_EQ(file.size(), 927u);
  EXPECT_TRUE(std::equal(w.image.bytes().begin(), w.image.bytes().end(), file.begin() + 27));
  std::remove(saved.c_str());
}

}  // namespace
}  // namespace trv810
