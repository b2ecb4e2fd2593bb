#pragma once
// Signal sequences: the short programs the unit runs on its siren relay. A 20-byte
// slot holds at most 18 item bytes, ended by 0xFF when shorter. Each item byte has
// its kind in the top two bits and a number n in the low six:
//
//   00 OFFnn   01 ONnn   10 Hnnvv (followed by a value byte, two BCD digits)   11 Rnn
//
// The text form lists the items separated by commas, e.g. ON05,OFF10,H0512,R03. Every
// number has exactly two digits and lies in 0..60; items may be separated by any run
// of commas and blanks, or by nothing. Parsing stops once 18 bytes are written: what
// follows is not looked at.

#include <cstddef>
#include <string>
#include <string_view>

#include "config/config_image.h"

namespace trv810::config {

inline constexpr std::size_t kSequenceCodeBytes = 18;
/// A sequence text buffer: 127 characters and the terminating zero.
inline constexpr std::size_t kSequenceTextSize = 128;

/// The text of a slot's items, up to the first 0xFF or 18 bytes (an H item in byte 17
/// takes its value byte from byte 18). Numbers 61..63 and value nibbles above 9 are
/// shown as they are, though the parser refuses them. Never longer than 107 characters.
std::string formatSignalSequence(ConstSequenceSlot slot);

/// Parses `text` (up to its end or a zero character) into `slot`, which is first set
/// to 0xFF throughout. True for a valid sequence; on false the slot holds the items
/// written before the error was found and must not be relied on.
bool parseSignalSequence(std::string_view text, SequenceSlot slot);

}  // namespace trv810::config
