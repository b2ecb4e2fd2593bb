#include "window/scenario.h"

namespace trv810::window {

std::optional<std::string> Scenario::run(ScenarioDriver& driver) {
  index_ = 0;
  acted_ = false;
  done_ = false;
  failure_.reset();
  driver.runTicks([this, &driver] { return tick(driver); });
  return failure_;
}

bool Scenario::tick(ScenarioDriver& driver) {
  // A step's action may open a modal window whose loop calls this again before the
  // action returns: the steps after it then run from there, and the state is read
  // afresh each time.
  if (done_) return false;
  if (index_ >= steps_.size()) {
    done_ = true;
    return false;
  }
  const Step& step = steps_[index_];
  if (!acted_) {
    acted_ = true;
    deadline_ = Clock::now() + step.limit;
    if (trace_) trace_(std::to_string(index_ + 1) + " " + step.what);
    if (step.act) step.act(driver);
    return !done_;
  }
  if (step.check) {
    std::string why = step.check(driver);
    if (!why.empty()) {
      if (Clock::now() < deadline_) return true;
      failure_ = "Schritt " + std::to_string(index_ + 1) + " (" + step.what + "): " + why;
      done_ = true;
      driver.closeModals();
      return false;
    }
  }
  ++index_;
  acted_ = false;
  return true;
}

}  // namespace trv810::window
