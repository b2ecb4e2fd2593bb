#pragma once
// Seeded fault injection for the simulated line: a frame the unit would send is
// dropped, or one of its bytes is flipped, and a frame the unit received is ignored,
// each with its own probability. The same seed and the same traffic give the same
// faults, so a failing run can be repeated.

#include <cstdint>
#include <random>
#include <vector>

namespace trv810::sim {

struct FaultRates {
  double drop = 0;     ///< of frames to send, the share never sent
  double corrupt = 0;  ///< of frames to send, the share sent with one byte damaged
  double ignore = 0;   ///< of frames received, the share ignored
  bool any() const { return drop > 0 || corrupt > 0 || ignore > 0; }
};

struct FaultCounters {
  uint64_t dropped = 0;
  uint64_t corrupted = 0;
  uint64_t ignored = 0;
};

class FaultInjector {
 public:
  FaultInjector(FaultRates rates, uint64_t seed);

  /// Whether the next frame to send is to be dropped.
  bool dropOutgoing();
  /// Maybe damages the encoded `frame`: changes one content byte between its delimiters
  /// by one (never an escape byte, so the damage always fails the check). True when it
  /// did.
  bool corruptOutgoing(std::vector<uint8_t>& frame);
  /// Whether the frame just received is to be ignored.
  bool ignoreIncoming();
  const FaultCounters& counters() const { return counters_; }

 private:
  bool chance(double p);

  FaultRates rates_;
  std::mt19937_64 random_;  // the engine's output is fixed by the standard; no distributions
  FaultCounters counters_;
};

}  // namespace trv810::sim
