#pragma once
// The configuration a simulated unit holds when it is given none: four active rows,
// two of them with the siren relay and a signal sequence, relays, and general settings
// that pass the form's checks, so a read followed by a write goes through unchanged.

#include <array>
#include <cstdint>

#include "sim/image_formats.h"

namespace trv810::sim {

/// The built-in sample image (898 bytes).
std::array<uint8_t, kImageSize> sampleConfig();

}  // namespace trv810::sim
