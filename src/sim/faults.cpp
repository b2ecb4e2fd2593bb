#include "sim/faults.h"

namespace trv810::sim {

FaultInjector::FaultInjector(FaultRates rates, uint64_t seed) : rates_(rates), random_(seed) {}

bool FaultInjector::chance(double p) {
  if (p <= 0) return false;
  const double u = static_cast<double>(random_() >> 11) * 0x1p-53;  // uniform in [0, 1)
  return u < p;
}

bool FaultInjector::dropOutgoing() {
  if (!chance(rates_.drop)) return false;
  ++counters_.dropped;
  return true;
}

bool FaultInjector::corruptOutgoing(std::vector<uint8_t>& frame) {
  if (frame.size() < 3 || !chance(rates_.corrupt)) return false;
  std::size_t at = 1 + static_cast<std::size_t>(random_() % (frame.size() - 2));
  // An escape byte is always followed by the byte it escapes, inside the frame. The
  // content byte changes by one, which the modulo-255 sums always catch; 0xFC becomes
  // 0xFB rather than the escape byte 0xFD.
  if (frame[at] == 0xFD) ++at;
  frame[at] = frame[at] == 0xFC ? 0xFB : frame[at] ^ 0x01;
  ++counters_.corrupted;
  return true;
}

bool FaultInjector::ignoreIncoming() {
  if (!chance(rates_.ignore)) return false;
  ++counters_.ignored;
  return true;
}

}  // namespace trv810::sim
