// trv810ctl read, write and flash, run as processes against trv810-sim.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "config/config_file.h"
#include "ctl_process.h"
#include "sim/sample_config.h"
#include "support/simulator.h"
#include "support/temp_dir.h"


namespace {

using namespace trv810;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using tests::Simulator;

const std::string kCtl = TRV810_BINARY_DIR "/src/cli/trv810ctl";

struct Outcome {
  int status;
  std::string out;  // standard output and standard error together
};

Outcome run(const std::string& args) {
  FILE* pipe = ::popen((kCtl + " " + args + " 2>&1").c_str(), "r");
  Outcome o{-1, {}};
  std::array<char, 512> chunk;
  std::size_t n;
  while ((n = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0) o.out.append(chunk.data(), n);
  const int raw = ::pclose(pipe);
  o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return o;
}

bool has(const Outcome& o, const std::string& text) { return o.out.find(text) != std::string::npos; }

Bytes readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

using trv810::tests::TempDir;

config::ConfigImage sampleImage() {
  config::ConfigImage image;
  std::ranges::copy(sim::sampleConfig(), image.bytes().begin());
  return image;
}

// A unit that saves what it receives into `dir`, unpaced, with a short erase.
struct Unit {
  Unit(const TempDir& dir, std::vector<std::string> more = {})
      : sim([&] {
          std::vector<std::string> o{"--baud",        "0", "--erase-delay-ms", "20", "--save-config",
                                     dir.file("unit.kfg"), "--save-firmware", dir.file("unit.bin")};
          o.insert(o.end(), more.begin(), more.end());
          return o;
        }()) {}
  std::string port() const { return "--port " + sim.device() + " "; }
  Simulator sim;
};

TEST(CliTransfer, ReadSavesTheUnitsConfigurationExactly) {
  TempDir dir;
  Unit unit(dir);
  const Outcome o = run(unit.port() + "read " + dir.file("read.kfg"));
  EXPECT_EQ(o.status, 0) << o.out;
  EXPECT_TRUE(has(o, "TRV810-Konfiguration, Firmware 01.07\n")) << o.out;
  EXPECT_TRUE(has(o, "Konfiguration gelesen !\n")) << o.out;
  const auto expected = config::buildConfigFile(sampleImage());
  EXPECT_EQ(readFile(dir.file("read.kfg")), Bytes(expected.begin(), expected.end()));
}

TEST(CliTransfer, ReadFromOlderFirmwareWarnsAndSavesTheCurrentFormat) {
  TempDir dir;
  Unit unit(dir, {"--formats", "2,1", "--firmware-version", "0x15"});
  const Outcome o = run(unit.port() + "read " + dir.file("old.kfg"));
  EXPECT_EQ(o.status, 0) << o.out;
  EXPECT_TRUE(has(o, "TRV810-Konfiguration, Firmware 01.05")) << o.out;
  EXPECT_TRUE(has(o, "Veraltete HBX2-Firmware! Nicht unterstützte Eingabefelder werden mit Defaultdaten geladen.\n"))
      << o.out;
  const Bytes file = readFile(dir.file("old.kfg"));
  ASSERT_EQ(file.size(), config::kConfigFileSize);
  EXPECT_EQ(file[0], 3);
}

TEST(CliTransfer, ReadFailuresSaveNothing) {
  TempDir dir;
  {
    Unit unit(dir, {"--bad-checksum"});
    const Outcome o = run(unit.port() + "read " + dir.file("bad.kfg"));
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(has(o, "TRV810-Konfiguration ungültig !\n")) << o.out;
  }
  {
    Unit unit(dir, {"--incompatible"});
    const Outcome o = run(unit.port() + "read " + dir.file("bad.kfg"));
    EXPECT_EQ(o.status, 1);
    EXPECT_TRUE(has(o, "TRV810-Firmware nicht kompatibel ! Aktualisieren Sie auf mindestens Version 1.7 !\n"))
        << o.out;
  }
  EXPECT_FALSE(fs::exists(dir.file("bad.kfg")));
  const Outcome noFolder = run("read " + dir.file("none/x.kfg"));
  EXPECT_EQ(noFolder.status, 1);
  EXPECT_EQ(noFolder.out.rfind("Datei konnte nicht gespeichert werden !\n", 0), 0u) << noFolder.out;

  // A target the save would refuse is refused before the unit is asked: a folder, a
  // file marked read-only (whoever runs the test), a device.
  Unit unit(dir);
  fs::create_directory(dir.file("folder.kfg"));
  const std::string readOnly = dir.write("ro.kfg", std::string("old"));
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const std::pair<std::string, std::string> refusals[] = {
      {dir.file("folder.kfg"), "Ist ein Verzeichnis"},
      {readOnly, "Datei ist schreibgeschützt"},
      {"/dev/null", "keine gewöhnliche Datei, sondern ein zeichenorientiertes Gerät"}};
  for (const auto& [target, reason] : refusals) {
    const Outcome o = run(unit.port() + "read " + target);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "Datei konnte nicht gespeichert werden !\n" + target + ": " + reason + "\n");
  }
  EXPECT_EQ(readFile(readOnly), (Bytes{'o', 'l', 'd'}));
  unit.sim.stop();
  EXPECT_TRUE(has({0, unit.sim.summary()}, "\"frames_in\":0,")) << unit.sim.summary();
}

TEST(CliTransfer, WriteProgramsWhatTheFormReadsAndVerifies) {
  TempDir dir;
  Unit unit(dir);
  config::ConfigImage image = sampleImage();
  image.setDeadTime(42);
  const std::string file = dir.write("w.kfg", config::buildConfigFile(image));
  const Outcome o = run(unit.port() + "write " + file + " --verify");
  EXPECT_EQ(o.status, 0) << o.out;
  EXPECT_TRUE(has(o, "Programmierung erfolgreich !\n")) << o.out;
  EXPECT_TRUE(has(o, "Geprüft: das Gerät enthält die geschriebene Konfiguration.")) << o.out;
  const Bytes saved = readFile(dir.file("unit.kfg"));
  ASSERT_EQ(saved.size(), config::kConfigFileSize);
  EXPECT_TRUE(std::equal(image.bytes().begin(), image.bytes().end(), saved.begin() + 27));
}

TEST(CliTransfer, WriteSendsNothingWhenTheFormOrTheFileFails) {
  TempDir dir;
  Unit unit(dir);
  config::ConfigImage image = sampleImage();
  image.setActiveMask(image.activeMask() | 1u << 9);
  image.setAddress(9, 0);
  const Outcome invalid = run(unit.port() + "write " + dir.write("bad.kfg", config::buildConfigFile(image)));
  EXPECT_EQ(invalid.status, 1);
  EXPECT_EQ(invalid.out, "Adress-Fehler bei Adresse 10\nErlaubt sind Adressen von 8 bis 2047993 (nur Ziffern).\n");

  auto old = config::buildConfigFile(sampleImage());
  old[0] = 2;  // asked about before anything else is looked at
  const Outcome older = run(unit.port() + "write " + dir.write("old.kfg", old));
  EXPECT_EQ(older.status, 1);
  EXPECT_EQ(older.out.rfind("Veraltete Konfigurationsdatei.", 0), 0u) << older.out;
  unit.sim.stop();
  EXPECT_TRUE(has({0, unit.sim.summary()}, "\"config_downloads\":0")) << unit.sim.summary();
}

TEST(CliTransfer, WriteToOldFirmwareIsIncompatible) {
  TempDir dir;
  Unit unit(dir, {"--formats", "2,1"});
  const std::string file = dir.write("w.kfg", config::buildConfigFile(sampleImage()));
  const Outcome o = run(unit.port() + "write " + file);
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(has(o, "TRV810-Firmware nicht kompatibel !")) << o.out;
}

TEST(CliTransfer, DiffComparesAFileWithWhatTheUnitHoldsNow) {
  TempDir dir;
  Unit unit(dir);
  config::ConfigImage image = sampleImage();
  const std::string same = dir.write("same.kfg", config::buildConfigFile(image));
  const Outcome equal = run("--quiet " + unit.port() + "diff --unit " + same);
  EXPECT_EQ(equal.status, 0) << equal.out;
  EXPECT_EQ(equal.out, "");
  image.setDeadTime(static_cast<uint16_t>(image.deadTime() + 1));
  const std::string other = dir.write("other.kfg", config::buildConfigFile(image));
  const Outcome differs = run("--quiet " + unit.port() + "diff " + other + " --unit");
  EXPECT_EQ(differs.status, 1);
  EXPECT_EQ(differs.out, "general.deadTime: " + std::to_string(image.deadTime()) + " -> " +
                             std::to_string(image.deadTime() - 1) + "\n");
}

TEST(CliTransfer, FlashProgramsTheImageAsLoaded) {
  TempDir dir;
  Unit unit(dir);
  Bytes firmware(5000);
  for (std::size_t i = 0; i < firmware.size(); ++i) firmware[i] = static_cast<uint8_t>(i * 13);
  firmware.back() = 0x42;
  const Outcome o = run(unit.port() + "flash " + dir.write("fw.bin", firmware));
  EXPECT_EQ(o.status, 0) << o.out;
  EXPECT_TRUE(has(o, "Flash löschen...\n")) << o.out;
  EXPECT_TRUE(has(o, "625 von 625 Blöcken programmiert !\nProgrammierung beendet.\nProgrammierung erfolgreich !\n"))
      << o.out;
  EXPECT_EQ(readFile(dir.file("unit.bin")), firmware);
}

TEST(CliTransfer, FlashRefusesFilesItCannotSend) {
  TempDir dir;
  const Outcome txt = run("flash " + dir.write("fw.txt", Bytes(10, 1)));
  EXPECT_EQ(txt.status, 1);
  EXPECT_EQ(txt.out.rfind("Ungültiges Dateiformat!\n", 0), 0u) << txt.out;
  // 65,536 blocks: the 16-bit block count of the request would announce 0.
  const Outcome big = run("flash " + dir.write("big.bin", Bytes(0x80000, 0)));
  EXPECT_EQ(big.status, 1);
  EXPECT_EQ(big.out.rfind("Firmware zu groß: 524288 Bytes. Programmiert werden können höchstens 524287 Bytes "
                          "(65535 Blöcke) !\n65536 Blöcke",
                          0),
            0u)
      << big.out;
}

// hex2bin exited 0 when its raw copy could not be written, and flash --quiet of such
// a file did not mention it. The image is programmed all the same.
TEST(CliTransfer, ARawCopyNotWrittenFailsHex2binAndIsToldByFlashEvenWhenQuiet) {
  TempDir dir;
  const std::string hex = dir.write("fw.hex", ":0400000001020300F6\r\n:00000001FF\r\n");
  fs::create_directory(dir.file("fw.bin"));
  const std::string told = "Binärkopie nicht geschrieben !\n" + dir.file("fw.bin") + ": Ist ein Verzeichnis\n";
  const Outcome converted = run("hex2bin " + hex);
  EXPECT_EQ(converted.status, 1);
  EXPECT_TRUE(has(converted, told)) << converted.out;
  Unit unit(dir);
  const Outcome flashed = run(unit.port() + "--quiet flash " + hex);
  EXPECT_EQ(flashed.status, 0) << flashed.out;
  EXPECT_EQ(flashed.out, told);
  EXPECT_EQ(readFile(dir.file("unit.bin")), (Bytes{1, 2, 3, 0}));
}

TEST(CliTransfer, PortFailuresAndUsage) {
  TempDir dir;
  const Outcome o = run("--version >/dev/null; TRV810_COM3=" + dir.file("no-tty") + " " + kCtl + " --port com3 flash " +
                        dir.write("fw.bin", Bytes(8, 1)));
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(has(o, "Port COM3 konnte nicht geöffnet werden !\nDas Gerät " + dir.file("no-tty") + " gibt es nicht.\n"))
      << o.out;
  EXPECT_EQ(run("--port LPT1 read x.kfg").status, 2);
  EXPECT_EQ(run("read").status, 2);
  EXPECT_EQ(run("write a.kfg --frobnicate").status, 2);
  EXPECT_EQ(run("flash a.bin b.bin").status, 2);
}

// A unit that goes away in the middle of a read (at 19200 baud, after the request and
// two acknowledges) ends it at once with the line that says so.
TEST(CliTransfer, AUnitThatVanishesEndsTheReadWithinTwoSeconds) {
  TempDir dir;
  Unit unit(dir, {"--baud", "19200", "--vanish-after-frames", "3"});
  const auto began = std::chrono::steady_clock::now();
  const Outcome o = run(unit.port() + "read " + dir.file("gone.kfg"));
  EXPECT_LT(std::chrono::steady_clock::now() - began, 2s);
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(has(o, "Verbindung unterbrochen !\nDas Gerät an " + unit.sim.device() +
                         " ist während der Übertragung verschwunden: Kabel oder USB-Adapter abgezogen ?\n"))
      << o.out;
  EXPECT_FALSE(fs::exists(dir.file("gone.kfg")));
}

// Real time: the receiver's start pause, then the stop. A closing terminal (SIGHUP)
// is a request to end like Ctrl-C: it killed the program, which left the port as it was.
TEST(CliTransfer, CtrlCAndAHangUpStopTheTransferWithoutAResult) {
  for (const int signal : {SIGINT, SIGHUP}) {
    SCOPED_TRACE(signal == SIGINT ? "SIGINT" : "SIGHUP");
    TempDir dir;
    Unit unit(dir, {"--silent"});
    const std::string out = dir.file("ctl.out");
    const std::string target = dir.file("never.kfg");
    const pid_t pid = tests::startTrv810ctl({"--port", unit.sim.device(), "read", target}, out);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(unit.sim.receivedFrames(1, 5s));  // the request is out, the tool waits for an answer
    const auto stopped = std::chrono::steady_clock::now();
    ::kill(pid, signal);
    EXPECT_EQ(tests::waitForTrv810ctl(pid), 130);
    EXPECT_LT(std::chrono::steady_clock::now() - stopped, 1000ms);
    const Bytes text = readFile(out);
    EXPECT_EQ(std::string(text.begin(), text.end()), "Abgebrochen; nichts wurde gelesen.\n");
    EXPECT_FALSE(fs::exists(target));
  }
}

}  // namespace
