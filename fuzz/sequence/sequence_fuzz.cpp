// Signal-sequence parser and formatter. The input is taken twice: as a text to parse,
// and (its first 20 bytes) as a slot to format. A text that parses must give the same
// bytes again when its formatted text is parsed; anything else aborts.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/signal_sequence.h"

using namespace trv810::config;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::array<uint8_t, kSequenceSlotSize> slot{};
  if (parseSignalSequence(text, slot)) {
    if (slot[18] != 0xFF || slot[19] != 0xFF) std::abort();
    const std::string formatted = formatSignalSequence(slot);
    std::array<uint8_t, kSequenceSlotSize> again{};
    if (!parseSignalSequence(formatted, again) || again != slot) std::abort();
    if (formatSignalSequence(again) != formatted) std::abort();
  }
  std::array<uint8_t, kSequenceSlotSize> raw;
  raw.fill(0xFF);
  std::copy_n(data, std::min(size, raw.size()), raw.begin());
  if (formatSignalSequence(raw).size() >= kSequenceTextSize) std::abort();
  return 0;
}
