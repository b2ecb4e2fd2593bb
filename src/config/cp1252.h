#pragma once
// The Windows-1252 conversion lives in platform/, where every window's logic reaches
// it; the configuration code keeps using it under its own namespace.

#include "platform/cp1252.h"

namespace trv810::config {

using platform::cp1252ToUtf8;
using platform::Cp1252Conversion;
using platform::utf8ToCp1252;

}  // namespace trv810::config
