// The flash-update window with paths that are no serial device and files that hold
// no firmware or are no files: FIFOs, folders and /dev/null, as POSIX systems have them.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "config/config_file.h"
#include "firmware/texts.h"
#include "hex_files.h"
#include "update_fixture.h"

namespace trv810::firmware {
namespace {

using test::data;
using test::kEnd;
using test::rawImage;
using test::slurp;
using test::TempDir;
using test::UpdateFixture;

// A regular file given as the port was opened and overwritten with request frames;
// /dev/null, a folder or a FIFO were taken the same way. Each is refused at once and
// left as it was (pseudo-terminals, as the simulator's tests use, still pass).
TEST(UpdateWindow, APortThatIsNoSerialDeviceIsRefusedBeforeAnythingIsWritten) {
  TempDir dir;
  UpdateFixture f(platform::makeSerialDeviceOpener());
  f.load(dir.write("fw.bin", rawImage(40)));
  const std::string file = dir.write("unit.kfg", "keep me");
  const std::string fifo = dir.file("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& device : {file, std::string("/dev/null"), dir.path.string(), fifo}) {
    SCOPED_TRACE(device);
    f.host.boxes.clear();
    f.ports.setDevice(0, device);
    f.window.onCommand(ids::kProgram);
    ASSERT_EQ(f.host.boxes.size(), 1u);
    EXPECT_EQ(f.host.boxes[0].text, "Port COM1 konnte nicht geöffnet werden !\n\n" + device +
                                        " ist kein serielles Gerät; es wurde nichts hineingeschrieben.");
    EXPECT_FALSE(f.window.transferRunning());
  }
  EXPECT_EQ(slurp(file), "keep me");
}

// Files the loaders took although they hold no firmware or are no files: an empty .bin
// loaded and was programmed as success (leaving the unit erased); a FIFO hung the
// loader until killed; a .kfg that is there but cannot be opened said only "Datei
// nicht vorhanden !"; a HEX file whose copy was not written said nothing about it.
TEST(UpdateWindow, LoadsRefuseFilesWithoutFirmwareOrThatAreNoFilesAndSayWhy) {
  TempDir dir;
  UpdateFixture f;
  const auto box = [&f](const std::string& path) {
    f.host.boxes.clear();
    f.load(path);
    return f.host.boxes.size() == 1 ? f.host.boxes[0].text : "boxes: " + std::to_string(f.host.boxes.size());
  };
  EXPECT_EQ(box(dir.write("empty.bin", "")),
            "Ungültiges Dateiformat!\n\ndie Datei ist leer (0 Bytes) und enthält keine Firmware");
  EXPECT_TRUE(f.buttons(true, false, false));
  const std::string fifo = dir.file("fifo.hex");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(box(fifo), "Ungültiges Dateiformat!\n\nnicht zu öffnen: " + fifo +
                           ": keine gewöhnliche Datei, sondern eine benannte Pipe (FIFO)");

  // The copy is a by-product: the image is loaded and can be programmed all the same.
  std::filesystem::create_directory(dir.path / "fw.bin");
  EXPECT_EQ(box(dir.write("fw.hex", data(0, {1, 2, 3}) + kEnd)),
            "Binärkopie nicht geschrieben !\n\n" + dir.file("fw.bin") +
                ": Ist ein Verzeichnis.\nDie Firmware ist geladen und kann programmiert werden.");
  EXPECT_EQ(f.image.length(), 3u);
  EXPECT_TRUE(f.buttons(true, true, false));

  // The configuration window's loader keeps its first line and adds the reason.
  config::ConfigImage image;
  for (const std::string& kfg : {dir.path.string(), fifo}) {
    f.host.boxes.clear();
    EXPECT_FALSE(config::loadConfigFileShowing(kfg, image, f.host));
    ASSERT_EQ(f.host.boxes.size(), 1u);
    EXPECT_EQ(f.host.boxes[0].text.rfind("Datei nicht vorhanden !\n\nnicht zu öffnen: " + kfg + ": ", 0), 0u)
        << f.host.boxes[0].text;
  }
}

}  // namespace
}  // namespace trv810::firmware
