// trv810ctl show FILE.kfg [--yes]: lists a configuration file as the form would show it.

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

#include "cli/command.h"
#include "cli/kfg_loading.h"
#include "cli/printable.h"
#include "cli/texts.h"
#include "config/cp1252.h"
#include "config/general_fields.h"
#include "config/row_columns.h"

namespace trv810::cli {
namespace {

using config::ConfigImage;
using config::OfflineConfig;

std::string functionLetter(uint8_t index) {
  return index < std::size(config::kFunctionLetters) ? std::string(config::kFunctionLetters[index])
                                                     : "?" + std::to_string(index);
}

// An inactive row is listed when anything in it differs from a cleared row.
// [row-column]: a column's part in this and in a row's line.
bool holdsData(OfflineConfig& c, int r) {
  const ConfigImage& image = c.image();
  bool relays = false;
  for (int j = 0; j < config::kRelayCount; ++j) relays = relays || image.relayOn(j, r);
  const config::AddressText& text = c.form().addressText(r);
  return image.address(r) != 0 || image.functionIndex(r) != 0 || image.siren(r) || relays ||
         !text.sequenceText.empty();
}

void printRow(OfflineConfig& c, int r) {
  const ConfigImage& image = c.image();
  const config::AddressText& text = c.form().addressText(r);
  std::string relays;
  for (int j = 0; j < config::kRelayCount; ++j) relays += image.relayOn(j, r) ? "x  " : ".  ";
  char line[256];
  std::snprintf(line, sizeof line, "  %2d  %-9s  %-3s %s %-6s %s", r + 1,
                text.addressText.empty() ? "-" : text.addressText.c_str(),
                functionLetter(image.functionIndex(r)).c_str(), relays.c_str(), image.siren(r) ? texts::kShowYes : texts::kShowNo,
                printable(config::cp1252ToUtf8(text.sequenceText)).c_str());
  std::string shown = line;
  shown.erase(shown.find_last_not_of(' ') + 1);
  std::printf("%s\n", shown.c_str());
}

void printRows(OfflineConfig& c, bool active, const char* heading) {
  std::printf("%s\n", heading);
  std::printf("%s\n", texts::kShowRowHeading);
  int listed = 0;
  for (int r = 0; r < config::kRowCount; ++r) {
    if (c.image().active(r) != active || (!active && !holdsData(c, r))) continue;
    printRow(c, r);
    ++listed;
  }
  if (listed == 0) std::printf("%s\n", texts::kShowNoRows);
}

void printGeneral(OfflineConfig& c) {
  // Labels padded to one width in characters (some hold an umlaut of two bytes).
  const auto line = [](const std::string& label, const std::string& value) {
    const auto chars = std::count_if(label.begin(), label.end(), [](char c) { return (c & 0xC0) != 0x80; });
    const std::string padding(static_cast<std::size_t>(std::max<std::ptrdiff_t>(1, 27 - chars)), ' ');
    std::printf("  %s%s%s\n", label.c_str(), padding.c_str(), value.c_str());
  };
  std::printf("%s\n", texts::kShowGeneral);
  for (const config::GeneralField& f : config::generalFields()) {
    const std::string shown = printable(config::cp1252ToUtf8(config::fieldText(f, c.controls())));
    switch (f.kind) {
      case config::FieldKind::Number: line(f.label, shown + " " + std::string(f.unit)); break;
      case config::FieldKind::Text: line(f.label, "\"" + shown + "\""); break;
      case config::FieldKind::ManualRelays: line(f.label, shown.empty() ? std::string(texts::kShowNoRelays) : shown); break;
      case config::FieldKind::ReservedFlags: break;
      default: line(f.label, shown); break;
    }
  }
}

int runShow(const std::vector<std::string>& args, const GlobalOptions&) {
  KfgArguments kfg;
  std::string error;
  if (!parseKfgArguments(args, kfg, error)) return usageError(kShowCommand, error);
  OfflineConfig config;
  if (const int status = loadKfg(config, kfg); status != kExitOk) return status;
  std::printf(texts::kShowFormatFormat, config.loadedFormat(),
              config.loadedFormat() == config::kCurrentFormat ? "" : texts::kShowConverted);
  printRows(config, true, texts::kShowActiveRows);
  printRows(config, false, texts::kShowInactiveRows);
  printGeneral(config);
  return kExitOk;
}

}  // namespace

const Command kShowCommand{"show", "DATEI.kfg [--yes]", texts::kShowSummary, runShow};

}  // namespace trv810::cli
