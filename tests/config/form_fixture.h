#pragma once
// A form over controls in memory, as a newly created configuration window has it.

#include <string>

#include "config/config_image.h"
#include "config/control_ids.h"
#include "config/form.h"
#include "config/general_fields.h"
#include "window/controls.h"

namespace trv810::testing {

struct FormFixture {
  config::ConfigImage image;
  window::MemoryControlTable controls;
  config::Form form{image, controls};

  FormFixture() {
    config::defineFormLists(controls);
    form.reset();
  }

  /// Fills the general settings with valid values, so that only the rows can fail.
  /// Every number starts at its smallest allowed value, so a new one needs nothing here.
  void fillValidGeneral() {
    namespace ids = config::ids;
    for (const config::GeneralField& f : config::generalFields())
      if (f.kind == config::FieldKind::Number) controls.setText(f.id, std::to_string(f.min));
    for (int j = 0; j < config::kRelayCount; ++j) controls.setText(ids::switchOnTime(j), "10");
    controls.setText(ids::kManualSequence, "ON05,OFF05");
    controls.setText(ids::kDeadTime, "5");
    controls.setText(ids::kAlarmInterval, "10");
    controls.setText(ids::kIdent, "TRV");
  }

  /// Makes row `row` active (scrolling it into view) and types an address.
  void activate(int row, const std::string& address) {
    form.moveTo(row);
    const int line = row - form.topRow();
    if (!image.active(row)) form.toggleActive(line);
    controls.setText(config::ids::address(line), address);
    form.storeVisibleRows();
  }
};

}  // namespace trv810::testing
