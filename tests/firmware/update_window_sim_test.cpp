// The flash-update window against the simulated unit on its pseudo-terminal, as COM1.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hex_files.h"
#include "support/simulator.h"
#include "update_fixture.h"

namespace trv810::firmware {
namespace {

using window::Icon;
using test::TempDir;
using tests::Simulator;

struct SimUpdate : test::UpdateFixture {
  explicit SimUpdate(const std::vector<std::string>& options)
      : UpdateFixture(platform::makeSerialDeviceOpener()), sim(options) {
    ports.setDevice(0, sim.device());
  }
  Simulator sim;
};

std::string firmware(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 13 + 5);
  return bytes;
}

TEST(UpdateWindowWithUnit, ProgramsTheFirmwareWithProgressAndResult) {
  TempDir dir;
  const std::string received = (dir.path / "received.bin").string();
  SimUpdate w({"--baud", "0", "--erase-delay-ms", "20", "--save-firmware", received});
  const std::string image = firmware(1000);
  w.load(dir.write("fw.bin", image));
  w.window.onCommand(ids::kProgram);
  ASSERT_TRUE(w.window.transferRunning());
  ASSERT_TRUE(w.pumpUntilIdle());

  ASSERT_EQ(w.host.boxes.size(), 1u);
  EXPECT_EQ(w.host.boxes[0].text, "Programmierung erfolgreich !");
  EXPECT_EQ(w.host.boxes[0].caption, "TRV810-Update");
  EXPECT_EQ(w.host.boxes[0].icon, Icon::Information);
  EXPECT_EQ(w.host.boxes[0].statusShown, "Programmierung beendet.");
  EXPECT_EQ(w.host.boxes[0].progressShown, 0);
  EXPECT_TRUE(w.buttons(true, true, false));
  EXPECT_FALSE(w.link.isOpen());

  // Status: erasing, one line per accepted block but the final one, the end.
  const std::vector<std::string>& s = w.controls.statusTexts;
  ASSERT_GE(s.size(), 3u);
  EXPECT_EQ(s[1], "Flash löschen...\nseit 0:00");
  std::vector<std::string> progress;
  for (const std::string& t : s)
    if (t.find("Blöcken") != std::string::npos) progress.push_back(t.substr(0, t.find('\n')));
  ASSERT_EQ(progress.size(), 125u);
  EXPECT_EQ(progress.front(), "1 von 125 Blöcken programmiert !");
  EXPECT_EQ(progress.back(), "125 von 125 Blöcken programmiert !");
  EXPECT_EQ(s[s.size() - 2].substr(s[s.size() - 2].find('\n')), "\n100 %");  // the test clock stands still
  EXPECT_EQ(s.back(), "Programmierung beendet.");
  EXPECT_EQ(w.host.progressMax, 125);

  // The unit holds the image it was announced.
  EXPECT_EQ(test::slurp(received), image);
}

TEST(UpdateWindowWithUnit, StopWhileTheUnitErasesEndsWithoutABox) {
  TempDir dir;
  SimUpdate w({"--baud", "0", "--erase-delay-ms", "5000"});
  w.load(dir.write("fw.bin", firmware(64)));
  w.window.onCommand(ids::kProgram);
  // Wait until the request went out, then stop.
  for (int i = 0; i < 50 && w.status().rfind("Flash löschen...", 0) != 0; ++i)
    if (auto n = w.sink.waitFor(std::chrono::milliseconds(20))) w.window.onNotification(*n);
  ASSERT_EQ(w.status(), "Flash löschen...\nseit 0:00");
  w.window.onCommand(ids::kStop);
  EXPECT_FALSE(w.link.isOpen());
  // Whatever the thread posted before the stop changes nothing now.
  while (auto n = w.sink.waitFor(std::chrono::milliseconds(50))) w.window.onNotification(*n);
  EXPECT_EQ(w.status(), "Programmierung abgebrochen !\nFirmware unvollständig: vor Gebrauch neu flashen !");
  EXPECT_TRUE(w.host.boxes.empty());
  EXPECT_TRUE(w.buttons(true, true, false));
}

}  // namespace
}  // namespace trv810::firmware
