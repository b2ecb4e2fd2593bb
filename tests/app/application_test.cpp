#include "app/application.h"

#include <gtest/gtest.h>

namespace trv810::app {
namespace {

TEST(Application, StartsWithCom1NoChildAndClearEvents) {
  Application app(link::PortTable::defaults());
  EXPECT_EQ(app.shell().selectedPort, 0);
  EXPECT_FALSE(app.shell().childOpen());
  EXPECT_EQ(app.events().stop.resetMode(), platform::Event::Reset::Manual);
  EXPECT_EQ(app.events().frameReady.resetMode(), platform::Event::Reset::Automatic);
  EXPECT_EQ(app.events().slotConsumed.resetMode(), platform::Event::Reset::Automatic);
  EXPECT_FALSE(app.events().stop.isSet());
  app.closePort();  // safe while nothing is open
}

}  // namespace
}  // namespace trv810::app
