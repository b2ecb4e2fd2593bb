// Reading a configuration's JSON text. Whatever the bytes, the reader answers with a
// configuration or an error; a configuration it accepts must export to a text that
// reads back to the same image, and that text must export unchanged. Any violation
// aborts.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "config/config_json.h"

using namespace trv810::config;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const JsonImport first = importJson(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!first.ok()) {
    if (first.error().empty()) std::abort();
    return 0;
  }
  const std::string text = exportJson(first.image, first.formatIndex);
  const JsonImport second = importJson(text);
  if (!second.ok() || second.image != first.image || second.formatIndex != first.formatIndex) std::abort();
  if (exportJson(second.image, second.formatIndex) != text) std::abort();
  return 0;
}
