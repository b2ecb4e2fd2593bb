#pragma once
// Helpers for the firmware tests: a scratch folder, and Intel-HEX records built with
// their check byte.

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace trv810::firmware::test {

namespace fs = std::filesystem;

using trv810::tests::TempDir;

inline std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

/// One record line with CR LF; `count` overrides the byte-count field.
inline std::string record(uint8_t type, uint16_t address, const std::vector<uint8_t>& data, int count = -1) {
  std::vector<uint8_t> bytes{static_cast<uint8_t>(count < 0 ? data.size() : count),
                             static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address), type};
  bytes.insert(bytes.end(), data.begin(), data.end());
  uint8_t sum = 0;
  for (uint8_t b : bytes) sum = static_cast<uint8_t>(sum + b);
  bytes.push_back(static_cast<uint8_t>(-sum));
  std::string line = ":";
  char digits[3];
  for (uint8_t b : bytes) {
    std::snprintf(digits, sizeof digits, "%02X", b);
    line += digits;
  }
  return line + "\r\n";
}

inline std::string data(uint16_t address, const std::vector<uint8_t>& bytes) { return record(0x00, address, bytes); }
inline const std::string kEnd = ":00000001FF\r\n";

}  // namespace trv810::firmware::test
