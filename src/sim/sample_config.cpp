#include "sim/sample_config.h"

#include <algorithm>
#include <cstring>

#include "config/config_image.h"

namespace trv810::sim {

std::array<uint8_t, kImageSize> sampleConfig() {
  config::ConfigImage c;
  // Unused sequence slots hold the end byte throughout, as the unit leaves them.
  for (int r = 0; r < config::kRowCount; ++r) std::ranges::fill(c.sequence(r), 0xFF);
  std::ranges::fill(c.manualSequence(), 0xFF);

  const uint32_t addresses[] = {1234567, 8, 2047993, 100000};
  for (int r = 0; r < 4; ++r) {
    c.setAddress(r, addresses[r]);
    c.setFunctionIndex(r, static_cast<uint8_t>(r));  // A, B, C, D
    c.setActive(r, true);
  }
  c.setSiren(0, true);
  c.setSiren(2, true);
  const uint8_t first[] = {0x45, 0x0A, 0x85, 0x12, 0xC3, 0xFF};  // ON05,OFF10,H0512,R03
  const uint8_t third[] = {0x4A, 0x0A, 0x4A, 0x0A, 0xFF};        // ON10,OFF10,ON10,OFF10
  std::ranges::copy(first, c.sequence(0).begin());
  std::ranges::copy(third, c.sequence(2).begin());
  c.setRelayOn(0, 0, true);  // K3: rows 1 and 2
  c.setRelayOn(0, 1, true);
  c.setRelayOn(1, 3, true);  // K4: row 4
  c.setRelayOn(7, 0, true);  // K10: row 1
  for (int j = 0; j < config::kRelayCount; ++j) c.setSwitchOnTime(j, static_cast<uint16_t>(60 * (j + 1)));
  const uint8_t manual[] = {0x5E, 0x05, 0xC2, 0xFF};  // ON30,OFF05,R02
  std::ranges::copy(manual, c.manualSequence().begin());
  // [general-field]: every general field holds a value its check takes.
  c.setDeadTime(30);
  c.setAlarmInterval(120);
  const char ident[] = "TRV810-SIM";
  std::memcpy(c.identText().data(), ident, sizeof ident);  // with its terminating zero
  c.setFlags(config::kFlagBaud1200 | 1u << config::kFlagManualRelayShift);  // manual: K3

  std::array<uint8_t, kImageSize> image{};
  std::ranges::copy(c.bytes(), image.begin());
  return image;
}

}  // namespace trv810::sim
