#include "platform/event.h"

#include <gtest/gtest.h>

#include <thread>

using namespace trv810::platform;
using namespace std::chrono_literals;

TEST(Event, ManualStaysSetUntilReset) {
  Event e(Event::Reset::Manual);
  EXPECT_FALSE(e.wait(0ms));
  e.set();
  EXPECT_TRUE(e.wait(0ms));
  EXPECT_TRUE(e.wait(0ms));
  e.reset();
  EXPECT_FALSE(e.isSet());
  EXPECT_FALSE(e.wait(1ms));
}

TEST(Event, AutomaticIsConsumedByOneWait) {
  Event e(Event::Reset::Automatic);
  e.set();
  e.set();  // setting twice is still one signal
  EXPECT_TRUE(e.wait(0ms));
  EXPECT_FALSE(e.wait(0ms));
}

TEST(Event, WaitForEitherPrefersTheFirstAndConsumesOnlyTheWinner) {
  Event stop(Event::Reset::Manual);
  Event ready(Event::Reset::Automatic);
  EXPECT_EQ(waitForEither(stop, ready, 1ms), WaitOutcome::TimedOut);
  ready.set();
  EXPECT_EQ(waitForEither(stop, ready, 0ms), WaitOutcome::Second);
  EXPECT_FALSE(ready.isSet());
  stop.set();
  ready.set();
  EXPECT_EQ(waitForEither(stop, ready, 0ms), WaitOutcome::First);
  EXPECT_TRUE(ready.isSet());
}

TEST(Event, WakesAWaiterOnAnotherThread) {
  Event e(Event::Reset::Automatic);
  std::thread setter([&] {
    std::this_thread::sleep_for(5ms);
    e.set();
  });
  EXPECT_TRUE(e.wait(kForever));
  setter.join();
}

