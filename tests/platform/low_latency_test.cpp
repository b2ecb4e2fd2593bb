#include "platform/low_latency_posix.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <utility>
#include <vector>

using namespace trv810::platform;

namespace {

// A driver's serial settings behind ioctl(): it refuses a request with `refuseGet`
// or `refuseSet` as errno when they are set, and records the requests it was given.
struct FakeDriver {
  serial_struct settings{};
  int refuseGet = 0;
  int refuseSet = 0;
  std::vector<unsigned long> requests;
};
FakeDriver* driver = nullptr;

int fakeCall(int, unsigned long request, serial_struct* info) {
  driver->requests.push_back(request);
  const int refusal = request == TIOCGSERIAL ? driver->refuseGet : driver->refuseSet;
  if (refusal != 0) {
    errno = refusal;
    return -1;
  }
  if (request == TIOCGSERIAL)
    *info = driver->settings;
  else
    driver->settings = *info;
  return 0;
}

struct LowLatency : ::testing::Test {
  FakeDriver fake;
  void SetUp() override { driver = &fake; }
  void TearDown() override { driver = nullptr; }
  std::vector<unsigned long> requests() { return std::exchange(fake.requests, {}); }
};

const std::vector<unsigned long> kGet{TIOCGSERIAL};
const std::vector<unsigned long> kGetSet{TIOCGSERIAL, TIOCSSERIAL};

TEST_F(LowLatency, TurnedOnAtOpeningAndOffAtClosingKeepingTheOtherSettings) {
  fake.settings.flags = ASYNC_SKIP_TEST;
  fake.settings.baud_base = 1500000;
  fake.settings.closing_wait = 3000;
  const LowLatencyChange change = requestLowLatency(3, fakeCall);
  EXPECT_EQ(requests(), kGetSet);
  EXPECT_EQ(fake.settings.flags, ASYNC_SKIP_TEST | ASYNC_LOW_LATENCY);
  EXPECT_EQ(fake.settings.baud_base, 1500000);
  EXPECT_EQ(fake.settings.closing_wait, 3000);

  fake.settings.flags |= ASYNC_SPD_HI;  // changed by someone else while the port was open
  restoreLowLatency(3, change, fakeCall);
  EXPECT_EQ(requests(), kGetSet);
  EXPECT_EQ(fake.settings.flags, ASYNC_SKIP_TEST | ASYNC_SPD_HI);
  EXPECT_EQ(fake.settings.baud_base, 1500000);
}

TEST_F(LowLatency, RefusalsAndAFlagAlreadyOnChangeNothing) {
  // Already on (a driver that defaults to it): left on at closing too.
  fake.settings.flags = ASYNC_LOW_LATENCY;
  restoreLowLatency(3, requestLowLatency(3, fakeCall), fakeCall);
  EXPECT_EQ(requests(), kGet);
  EXPECT_EQ(fake.settings.flags, ASYNC_LOW_LATENCY);

  // A pseudo-terminal or a driver without the request: nothing is set, now or later.
  fake.settings.flags = 0;
  fake.refuseGet = ENOTTY;
  restoreLowLatency(3, requestLowLatency(3, fakeCall), fakeCall);
  EXPECT_EQ(requests(), kGet);

  // A driver that reports its settings but refuses the change.
  fake.refuseGet = 0;
  fake.refuseSet = EPERM;
  const LowLatencyChange refused = requestLowLatency(3, fakeCall);
  EXPECT_FALSE(refused.applied);
  restoreLowLatency(3, refused, fakeCall);
  EXPECT_EQ(requests(), kGetSet);
  EXPECT_EQ(fake.settings.flags, 0);

  // A device that went away before closing: no write after the failed read.
  fake.refuseSet = 0;
  const LowLatencyChange applied = requestLowLatency(3, fakeCall);
  requests();
  fake.refuseGet = EIO;
  restoreLowLatency(3, applied, fakeCall);
  EXPECT_EQ(requests(), kGet);
}

}  // namespace
