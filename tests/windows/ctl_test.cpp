// Against the simulated unit that with-unit.sh serves as a COM port: the Win32 serial
// device's waits end at a stop, and what trv810ctl.exe writes, reads and flashes
// arrives byte for byte.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "config/config_file.h"
#include "platform/serial_device.h"
#include "platform/win32.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A Linux path of the build as Wine's drive Z: shows it.
std::string windowsPath(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

struct Outcome {
  int status;
  std::string out;  // standard output and standard error together
};

Outcome ctl(const std::string& args, const std::string& port = environment("TRV810_TEST_PORT")) {
  // cmd.exe /c drops the first and the last quote of its line: give it a pair to drop.
  std::string command = "\"\"";
  command += windowsPath(TRV810CTL_PATH);
  command += "\" --port ";
  command += port;
  command += " " + args + " 2>&1\"";
  FILE* pipe = ::_popen(command.c_str(), "rb");
  Outcome o{-1, {}};
  if (pipe == nullptr) return o;
  char chunk[512];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) o.out.append(chunk, n);
  o.status = ::_pclose(pipe);
  return o;
}

Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

// trv810ctl.exe switches the console to UTF-8 for its texts; it left it so, and a later
// program that wrote its own code page showed "fÃ¼r".
TEST(CtlConsole, LeavesTheConsoleItRanInWithTheCodePageItFound) {
  ::FreeConsole();
  ASSERT_TRUE(::AllocConsole());  // a console of its own, which trv810ctl.exe shares
  ASSERT_TRUE(::SetConsoleOutputCP(1252));
  std::string command = "\"" + windowsPath(TRV810CTL_PATH) + "\" --version";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  ASSERT_EQ(::WaitForSingleObject(process.hProcess, 120000), WAIT_OBJECT_0);  // a limit, not a delay
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  EXPECT_EQ(::GetConsoleOutputCP(), 1252u);
  ::FreeConsole();
}

// The unit says nothing unasked, so only the stop can end this wait; a wait that
// missed it would hang until ctest's time-out.
TEST(SerialWin32, AStopEndsAWaitForDataThatNeverComes) {
  using namespace trv810::platform;
  auto opened = makeSerialDeviceOpener()->open("\\\\.\\" + environment("TRV810_TEST_PORT"));
  ASSERT_TRUE(opened.device) << opened.errorNumber;
  Event stop(Event::Reset::Manual);
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop.set();
  });
  EXPECT_EQ(opened.device->waitReadable(stop, kForever), WaitOutcome::Second);
  stopper.join();
  uint8_t byte = 0;
  EXPECT_EQ(opened.device->write(&byte, 1, stop, Millis(100)), SerialDevice::WriteStatus::Stopped);
  opened.device->close();
}

TEST(WindowsCtl, WriteVerifyReadAndFlashArriveByteExact) {
  const std::string unit = environment("TRV810_TEST_UNIT");
  ASSERT_FALSE(unit.empty()) << "run by tests/windows/with-unit.sh";

  // The widest values there are, written and verified, then read back unchanged.
  const std::string written = windowsPath(TRV810_SOURCE_DIR "/scripts/widest-values.kfg");
  const Outcome write = ctl("write \"" + written + "\" --verify");
  ASSERT_EQ(write.status, 0) << write.out;
  EXPECT_NE(write.out.find("Programmierung erfolgreich !"), std::string::npos) << write.out;
  const Bytes file = readFile(written);
  ASSERT_EQ(file.size(), trv810::config::kConfigFileSize);
  EXPECT_EQ(readFile(unit + "\\unit.kfg"), file);

  const std::string read = unit + "\\gelesen-ä.kfg";
  const Outcome back = ctl("read \"" + read + "\"");
  ASSERT_EQ(back.status, 0) << back.out;
  EXPECT_EQ(readFile(read), file);

  // 4 KiB of firmware, every byte value many times over.
  Bytes firmware(4096);
  for (std::size_t i = 0; i < firmware.size(); ++i) firmware[i] = static_cast<uint8_t>(i * 7 + i / 256);
  writeFile(unit + "\\fw.bin", firmware);
  const Outcome flash = ctl("flash \"" + unit + "\\fw.bin\"");
  ASSERT_EQ(flash.status, 0) << flash.out;
  EXPECT_NE(flash.out.find("512 von 512 Blöcken programmiert !"), std::string::npos) << flash.out;
  EXPECT_EQ(readFile(unit + "\\unit.bin"), firmware);
}

// The same unit through ser2net, raw and with RFC 2217, over Winsock.
TEST(WindowsCtl, NetworkPortsThroughSer2netArriveByteExact) {
  const std::string unit = environment("TRV810_TEST_UNIT");
  const std::string raw = environment("TRV810_TEST_RAW"), telnet = environment("TRV810_TEST_RFC2217");
  ASSERT_FALSE(raw.empty() || telnet.empty()) << "run by tests/windows/with-unit.sh --ser2net";
  const std::string written = windowsPath(TRV810_SOURCE_DIR "/scripts/widest-values.kfg");
  Bytes firmware(2048);
  for (std::size_t i = 0; i < firmware.size(); ++i) firmware[i] = static_cast<uint8_t>(255 - i * 3);
  writeFile(unit + "\\net.bin", firmware);
  for (const std::string& address : {raw, telnet}) {
    const Outcome write = ctl("write \"" + written + "\" --verify", address);
    ASSERT_EQ(write.status, 0) << address << "\n" << write.out;
    EXPECT_EQ(readFile(unit + "\\unit.kfg"), readFile(written)) << address;
    const Outcome flash = ctl("flash \"" + unit + "\\net.bin\"", address);
    ASSERT_EQ(flash.status, 0) << address << "\n" << flash.out;
    EXPECT_EQ(readFile(unit + "\\unit.bin"), firmware) << address;
  }
  const Outcome nobody = ctl("read x.kfg", "socket://127.0.0.1:1");
  EXPECT_EQ(nobody.status, 1);
  EXPECT_NE(nobody.out.find("Port socket://127.0.0.1:1 konnte nicht geöffnet werden !"), std::string::npos)
      << nobody.out;
}

}  // namespace
