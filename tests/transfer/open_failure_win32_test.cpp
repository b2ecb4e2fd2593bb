// What a technician reads when Windows refuses to open a COM port. Wine does not make
// a port exclusive, so the refusals a real Windows gives are fed in by their error
// codes; a port that does not exist is opened for real.

#include <windows.h>

#include <gtest/gtest.h>

#include "link/serial_link.h"
#include "platform/serial_device.h"
#include "platform/serial_win32.h"
#include "transfer/texts.h"

namespace trv810 {
namespace {

class Refusing final : public platform::SerialDeviceOpener {
 public:
  explicit Refusing(DWORD code) : code_(code) {}
  Result open(const std::string&) override { return platform::serialOpenFailure(code_); }

 private:
  DWORD code_;
};

std::string reasonFor(std::unique_ptr<platform::SerialDeviceOpener> opener, const std::string& device) {
  link::LinkEvents events;
  link::SerialLink link(events, std::move(opener));
  EXPECT_FALSE(link.openPort(device));
  EXPECT_FALSE(link.isOpen());
  return transfer::texts::openFailureReason(link.lastOpenFailure());
}

TEST(OpenFailureWin32, NamesThePortAndSaysWhyInGerman) {
  // Windows refuses a port another program holds with access denied.
  for (DWORD code : {DWORD{ERROR_ACCESS_DENIED}, DWORD{ERROR_SHARING_VIOLATION}})
    EXPECT_EQ(reasonFor(std::make_unique<Refusing>(code), "\\\\.\\COM3"),
              "\\\\.\\COM3 wird von einem anderen Programm benutzt.")
        << code;
  EXPECT_EQ(reasonFor(std::make_unique<Refusing>(ERROR_FILE_NOT_FOUND), "\\\\.\\COM4"),
            "Das Gerät \\\\.\\COM4 gibt es nicht.");
  EXPECT_EQ(reasonFor(std::make_unique<Refusing>(ERROR_PRIVILEGE_NOT_HELD), "\\\\.\\COM5"),
            "Keine Berechtigung für \\\\.\\COM5.");
  EXPECT_EQ(reasonFor(std::make_unique<Refusing>(ERROR_GEN_FAILURE), "\\\\.\\COM6"),
            "\\\\.\\COM6 lässt sich nicht öffnen: Ein- und Ausgabefehler.");
  // And the real CreateFileW on a port number nothing serves.
  EXPECT_EQ(reasonFor(platform::makeSerialDeviceOpener(), "\\\\.\\COM200"), "Das Gerät \\\\.\\COM200 gibt es nicht.");
}

}  // namespace
}  // namespace trv810
