// The descriptors behind POSIX events, which poll() waits on.

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include "platform/event.h"

using namespace trv810::platform;
using namespace std::chrono_literals;

TEST(Event, DescriptorIsReadableExactlyWhileSet) {
  Event e(Event::Reset::Automatic);
  pollfd p{e.native(), POLLIN, 0};
  EXPECT_EQ(::poll(&p, 1, 0), 0);
  e.set();
  EXPECT_EQ(::poll(&p, 1, 0), 1);
  EXPECT_TRUE(e.tryConsume());
  EXPECT_EQ(::poll(&p, 1, 0), 0);
}

TEST(Event, DescriptorOrEventSeesTheEvent) {
  Event stop(Event::Reset::Manual);
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  EXPECT_EQ(waitForDescriptorOrEvent(fds[0], POLLIN, stop, 1ms), WaitOutcome::TimedOut);
  ASSERT_EQ(::write(fds[1], "x", 1), 1);
  EXPECT_EQ(waitForDescriptorOrEvent(fds[0], POLLIN, stop, 1ms), WaitOutcome::First);
  stop.set();
  EXPECT_EQ(waitForDescriptorOrEvent(fds[0], POLLIN, stop, 1ms), WaitOutcome::Second);
  ::close(fds[0]);
  ::close(fds[1]);
}
