// trv810ctl through ser2net in front of trv810-sim, raw and with RFC 2217, and several
// units at once; run as processes.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "config/config_file.h"
#include "ctl_process.h"
#include "sim/sample_config.h"
#include "support/ser2net.h"
#include "support/simulator.h"
#include "support/temp_dir.h"

namespace {

using namespace trv810;
using namespace std::chrono_literals;
namespace fs = std::filesystem;
using tests::Outcome;
using tests::Ser2net;
using tests::Simulator;
using tests::TempDir;
using tests::slurp;
using tests::trv810ctl;

bool has(const Outcome& o, const std::string& text) { return o.out.find(text) != std::string::npos; }

std::string configFile(uint16_t deadTime) {
  config::ConfigImage image;
  std::ranges::copy(sim::sampleConfig(), image.bytes().begin());
  image.setDeadTime(deadTime);
  const auto file = config::buildConfigFile(image);
  return std::string(file.begin(), file.end());
}

// A unit saving what it receives into `dir` under `name`, unpaced unless `more` says.
struct Unit {
  Unit(const TempDir& dir, const std::string& name, std::vector<std::string> more = {})
      : sim([&] {
          std::vector<std::string> o{"--baud", "0", "--erase-delay-ms", "20", "--save-config",
                                     dir.file(name + ".kfg"), "--save-firmware", dir.file(name + ".bin")};
          o.insert(o.end(), more.begin(), more.end());
          return o;
        }()) {}
  Simulator sim;
};

TEST(NetworkPorts, WriteVerifyReadAndFlashThroughSer2netArriveByteExact) {
  TempDir dir;
  Unit unit(dir, "unit");
  Ser2net server(unit.sim.device());
  // Every byte value, 0xFF (Telnet's escape and the frames' start) and CR among them.
  std::string firmware(4096, '\0');
  for (std::size_t i = 0; i < firmware.size(); ++i) firmware[i] = static_cast<char>(i * 7 + i / 256);
  const std::string fw = dir.write("fw.bin", firmware);
  uint16_t deadTime = 30;
  for (const std::string& address : {server.raw(), server.rfc2217()}) {
    const std::string written = dir.write("w.kfg", configFile(++deadTime));
    const Outcome write = trv810ctl("--port " + address + " write " + written + " --verify");
    ASSERT_EQ(write.status, 0) << address << "\n" << write.out;
    EXPECT_TRUE(has(write, "Geprüft: das Gerät enthält die geschriebene Konfiguration.")) << write.out;
    EXPECT_EQ(slurp(dir.file("unit.kfg")), slurp(written)) << address;
    const Outcome read = trv810ctl("--port " + address + " read " + dir.file("back.kfg"));
    ASSERT_EQ(read.status, 0) << address << "\n" << read.out;
    EXPECT_EQ(slurp(dir.file("back.kfg")), slurp(written)) << address;
    fs::remove(dir.file("unit.bin"));
    const Outcome flash = trv810ctl("--port " + address + " flash " + fw);
    ASSERT_EQ(flash.status, 0) << address << "\n" << flash.out;
    EXPECT_EQ(slurp(dir.file("unit.bin")), firmware) << address;
  }
}

// ser2net frees the unit's port only a moment after the previous client has gone;
// a command started meanwhile is told "already in use" and tries again.
TEST(NetworkPorts, APortStillHeldForThePreviousClientIsTriedAgain) {
  TempDir dir;
  Unit unit(dir, "unit");
  Ser2net server(unit.sim.device());
  const std::string raw = server.raw();
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<uint16_t>(std::stoi(raw.substr(raw.rfind(':') + 1))));
  const int previous = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_EQ(::connect(previous, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  std::thread leaving([previous] {
    std::this_thread::sleep_for(500ms);
    ::close(previous);
  });
  const Outcome read = trv810ctl("--port " + server.rfc2217() + " read " + dir.file("back.kfg"));
  leaving.join();
  EXPECT_EQ(read.status, 0) << read.out;
  EXPECT_TRUE(fs::exists(dir.file("back.kfg")));
}

// A Telnet peer on a loopback port that sends `bytes` to whoever connects and keeps
// the connection open until the other side closes it.
class TelnetPeer {
 public:
  explicit TelnetPeer(std::string bytes) : bytes_(std::move(bytes)) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &size);
    port_ = ntohs(a.sin_port);
    ::listen(fd_, 1);
    thread_ = std::thread([this] {
      const int c = ::accept(fd_, nullptr, nullptr);
      if (c < 0) return;
      ::send(c, bytes_.data(), bytes_.size(), MSG_NOSIGNAL);
      char sink[256];
      while (::recv(c, sink, sizeof sink, 0) > 0) {
      }
      ::close(c);
    });
  }
  ~TelnetPeer() {
    ::shutdown(fd_, SHUT_RDWR);  // ends an accept() still waiting
    thread_.join();
    ::close(fd_);
  }
  std::string address() const { return "rfc2217://127.0.0.1:" + std::to_string(port_); }

 private:
  std::string bytes_;
  int fd_ = -1;
  int port_ = 0;
  std::thread thread_;
};

TEST(NetworkPorts, BadAddressesAndServersAreToldBeforeAnythingIsSent) {
  TempDir dir;
  const std::string file = dir.write("w.kfg", configFile(10));
  const auto usage = [&](const std::string& port, const std::string& told) {
    const Outcome o = trv810ctl("--port " + port + " write " + file);
    EXPECT_EQ(o.status, 2) << port;
    EXPECT_TRUE(has(o, told)) << o.out;
  };
  usage("socket://host", "Die Portnummer fehlt in der Adresse socket://host (HOST:PORT;");
  usage("socket://host:0", "Die Portnummer 0 in der Adresse socket://host:0 liegt nicht zwischen 1 und 65535.");
  usage("rfc2217://host:4x01", "Die Portnummer 4x01 in der Adresse rfc2217://host:4x01 ist keine Zahl.");

  const auto refused = [&](const std::string& port, const std::string& told, const std::string& env = {}) {
    const Outcome o = trv810ctl("--version >/dev/null; " + env + " " TRV810_BINARY_DIR "/src/cli/trv810ctl --port " +
                                port + " write " + file);
    EXPECT_EQ(o.status, 1) << port;
    EXPECT_TRUE(has(o, told)) << o.out;
  };
  const tests::ClosedPort closed;
  const std::string nobody = "socket://127.0.0.1:" + std::to_string(closed.port());
  refused(nobody, "Port " + nobody + " konnte nicht geöffnet werden !\nUnter 127.0.0.1:" +
                      std::to_string(closed.port()) + " nimmt niemand Verbindungen an");
  refused("socket://trv810-test.invalid:4001", "trv810-test.invalid");  // a name that does not resolve
  // The same through the port table: the name, and the address in the reason.
  refused("COM2", "Port COM2 konnte nicht geöffnet werden !\nUnter 127.0.0.1:", "TRV810_COM2=" + nobody);

  // A server that cannot open its serial port says so and closes, raw or with Telnet.
  Ser2net portless(dir.file("no-such-tty"));
  for (const std::string& address : {portless.raw(), portless.rfc2217()})
    refused(address, "hat die Verbindung sofort wieder geschlossen: \"Device open failure");

  {
    TelnetPeer garbage("\xFF\x05\xFF\xFD\x2C");
    refused(garbage.address(), "sendet ungültige Telnet-Befehle; ist er ein roher TCP-Server, nehmen Sie socket://");
  }
  {
    std::string toggling;
    for (int i = 0; i < 100; ++i) toggling += "\xFF\xFD\x01\xFF\xFE\x01";
    TelnetPeer endless(toggling);
    refused(endless.address(), "hört nicht auf, Telnet-Optionen zu verhandeln.");
  }
  {
    TelnetPeer refusing("\xFF\xFE\x2C");
    refused(refusing.address(), "lehnt die COM-Port-Steuerung (RFC 2217) ab");
  }
}

// The server goes away in the middle of a flash at the line's real speed: the
// transfer ends as with an adapter pulled out, naming the server.
TEST(NetworkPorts, AServerKilledMidFlashEndsTheProgramWithFailureWithinFiveSeconds) {
  TempDir dir;
  Unit unit(dir, "unit", {"--baud", "19200"});
  Ser2net server(unit.sim.device());
  const std::string out = dir.file("ctl.out");
  const pid_t pid = tests::startTrv810ctl({"--port", server.raw(), "flash", dir.write("fw.bin", std::string(8192, 'x'))}, out);
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(unit.sim.receivedFrames(20, 10s));  // blocks are going through
  const auto killed = std::chrono::steady_clock::now();
  server.kill();
  EXPECT_EQ(tests::waitForTrv810ctl(pid), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - killed, 5s);
  const std::string text = slurp(out);
  EXPECT_NE(text.find("Verbindung unterbrochen !\nDie Verbindung zum Server 127.0.0.1, Port " +
                      std::to_string(server.rawPort()) + ", ist während der Übertragung abgebrochen"),
            std::string::npos)
      << text;
}

TEST(ManyUnits, EachUnitRunsOnItsOwnAndTheSummaryTellsEveryResult) {
  TempDir dir;
  Unit a(dir, "a"), b(dir, "b");
  Ser2net server(b.sim.device());
  const tests::ClosedPort closed;
  const std::string nobody = "socket://127.0.0.1:" + std::to_string(closed.port());
  const std::string ports = "--port " + a.sim.device() + "," + server.rfc2217() + " --port " + nobody + " ";

  // One unit that cannot be reached fails the run, and stops neither other.
  const Outcome read = trv810ctl(ports + "read " + dir.file("{port}.kfg"));
  EXPECT_EQ(read.status, 1) << read.out;
  // Each into its own file: "/dev/pts/3" -> "dev_pts_3", "rfc2217://127.0.0.1:P" -> "rfc2217_127.0.0.1_P".
  std::string safeA = a.sim.device().substr(1);
  std::replace(safeA.begin(), safeA.end(), '/', '_');
  const std::string rfc = server.rfc2217();
  EXPECT_EQ(slurp(dir.file(safeA + ".kfg")).size(), config::kConfigFileSize) << read.out;
  EXPECT_EQ(slurp(dir.file("rfc2217_127.0.0.1_" + rfc.substr(rfc.rfind(':') + 1) + ".kfg")).size(),
            config::kConfigFileSize)
      << read.out;
  EXPECT_TRUE(has(read, "  fehlgeschlagen  Port " + nobody + " konnte nicht geöffnet werden ! Unter 127.0.0.1:"))
      << read.out;
  EXPECT_TRUE(has(read, "3 Geräte: 2 erfolgreich, 1 fehlgeschlagen.\n")) << read.out;

  const std::string written = dir.write("w.kfg", configFile(77));
  const Outcome write = trv810ctl("--port " + a.sim.device() + "," + server.rfc2217() + " write " + written + " --verify");
  EXPECT_EQ(write.status, 0) << write.out;
  EXPECT_TRUE(has(write, "2 Geräte: 2 erfolgreich.\n")) << write.out;
  EXPECT_EQ(slurp(dir.file("a.kfg")), slurp(written));
  EXPECT_EQ(slurp(dir.file("b.kfg")), slurp(written));

  const Outcome diff = trv810ctl("--quiet --port " + a.sim.device() + "," + server.raw() + " diff " +
                                 dir.write("other.kfg", configFile(78)) + " --unit");
  EXPECT_EQ(diff.status, 1) << diff.out;
  EXPECT_TRUE(has(diff, a.sim.device() + ": general.deadTime: 78 -> 77\n")) << diff.out;
  EXPECT_TRUE(has(diff, server.raw() + ": general.deadTime: 78 -> 77\n")) << diff.out;

  // Usage: several files need {port}; a port twice; a command that takes one port.
  EXPECT_EQ(trv810ctl(ports + "read " + dir.file("x.kfg")).status, 2);
  EXPECT_EQ(trv810ctl("--port COM3,com3 flash x.bin").status, 2);
  EXPECT_EQ(trv810ctl("--port COM3,COM4 show " + written).status, 2);
  EXPECT_EQ(trv810ctl("--port COM3,COM4 diff --unit --unit").status, 2);
}

// Ctrl-C while one unit is done and another still waits for an answer.
TEST(ManyUnits, CtrlCStopsEveryUnitAndSaysWhichFinished) {
  TempDir dir;
  Unit fast(dir, "fast"), silent(dir, "silent", {"--silent"});
  const std::string out = dir.file("ctl.out");
  const pid_t pid = tests::startTrv810ctl(
      {"--port", fast.sim.device() + "," + silent.sim.device(), "read", dir.file("{port}.kfg")}, out);
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(silent.sim.receivedFrames(1, 5s));
  std::string safe = fast.sim.device().substr(1);
  std::replace(safe.begin(), safe.end(), '/', '_');
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (!fs::exists(dir.file(safe + ".kfg")) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(10ms);
  ASSERT_TRUE(fs::exists(dir.file(safe + ".kfg")));
  ::kill(pid, SIGINT);
  EXPECT_EQ(tests::waitForTrv810ctl(pid), 130);
  const std::string text = slurp(out);
  EXPECT_NE(text.find("abgebrochen  Abgebrochen; nichts wurde gelesen."), std::string::npos) << text;
  EXPECT_NE(text.find("Mit Strg-C abgebrochen; fertig waren: " + fast.sim.device() + ".\n"), std::string::npos)
      << text;
}

}  // namespace
