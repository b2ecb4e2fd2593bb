// The scenario's runner: a step acts once, then waits for its check; a step may open a
// modal window whose own loop runs the steps after it; the first check that runs out
// of time ends the run with its reason and closes what is open.

#include "window/scenario.h"

#include <gtest/gtest.h>

#include <vector>

namespace trv810::window {
namespace {

using namespace std::chrono_literals;

/// A face of nothing: ticks run back to back; "modal" is a loop of ticks inside an act.
struct FakeDriver : ScenarioDriver {
  void runTicks(const std::function<bool()>& t) override {
    tick = &t;
    while (t()) {}
  }
  void closeModals() override {
    ++closings;
    modal = false;
  }
  /// What a modal window's loop does: runs the ticks until it is closed.
  void runModal() {
    modal = true;
    while (modal && (*tick)()) {}
  }
  void menu(int) override {}
  void press(Key) override {}
  void type(int, std::string_view) override {}
  void click(int) override {}
  void doubleClick(int) override {}
  void closeChild() override {}
  bool childOpen() override { return false; }
  bool dialogOpen() override { return modal; }
  ControlTable& controls() override { return table; }
  int focus() override { return -1; }
  std::optional<std::string> box() override { return std::nullopt; }
  void answer(Answer) override {}
  bool fileDialog() override { return false; }
  void chooseFile(std::string_view) override {}
  bool capture(std::string_view, bool) override { return true; }

  const std::function<bool()>* tick = nullptr;
  bool modal = false;
  int closings = 0;
  MemoryControlTable table;
};

TEST(Scenario, StepsAfterOneThatOpensAModalRunInItsLoopAndAFailedCheckEndsTheRun) {
  FakeDriver driver;
  std::vector<std::string> done;
  auto note = [&done](std::string what) { return [&done, what](ScenarioDriver&) { done.push_back(what); }; };
  auto modalIs = [](bool open) {
    return [open](ScenarioDriver& d) { return d.dialogOpen() == open ? std::string() : std::string("nicht so"); };
  };
  Scenario passing;
  passing.add({"öffnen", [&driver, &done](ScenarioDriver&) {
                 done.push_back("öffnen");
                 driver.runModal();
                 done.push_back("geschlossen");
               },
               modalIs(true)});  // checked in the dialog's own loop
  passing.add({"im Dialog", note("im Dialog"), modalIs(true)});
  passing.add({"schließen", [&driver, &done](ScenarioDriver&) {
                 done.push_back("schließen");
                 driver.modal = false;
               },
               modalIs(false)});
  passing.add({"danach", note("danach"), {}});
  EXPECT_EQ(passing.run(driver), std::nullopt);
  EXPECT_EQ(done, (std::vector<std::string>{"öffnen", "im Dialog", "schließen", "geschlossen", "danach"}));
  EXPECT_EQ(driver.closings, 0);

  Scenario failing;
  done.clear();
  failing.add({"öffnen", [&driver](ScenarioDriver&) { driver.runModal(); }, {}});
  failing.add({"wartet vergeblich", {}, modalIs(false), 30ms});
  failing.add({"nie", note("nie"), {}});
  const std::optional<std::string> failure = failing.run(driver);
  ASSERT_TRUE(failure.has_value());
  EXPECT_EQ(*failure, "Schritt 2 (wartet vergeblich): nicht so");
  EXPECT_EQ(driver.closings, 1);
  EXPECT_TRUE(done.empty());
}

}  // namespace
}  // namespace trv810::window
