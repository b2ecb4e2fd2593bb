#include "sim/sim_options.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>

namespace trv810::sim {
namespace {

template <typename T>
bool parseInteger(const std::string& text, T& out, T max) {
  int base = 10;
  std::size_t skip = 0;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) base = 16, skip = 2;
  unsigned long long value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data() + skip, end, value, base);
  if (ec != std::errc() || ptr != end || skip == text.size() || value > static_cast<unsigned long long>(max)) return false;
  out = static_cast<T>(value);
  return true;
}

bool parseFormats(const std::string& text, std::vector<int>& out) {
  out.clear();
  std::size_t at = 0;
  while (at <= text.size()) {
    const std::size_t comma = std::min(text.find(',', at), text.size());
    int format = 0;
    if (!parseInteger(text.substr(at, comma - at), format, 3) || format < 1) return false;
    out.push_back(format);
    at = comma + 1;
  }
  return !out.empty();
}

using Handler = std::function<bool(const std::string&, SimOptions&)>;

const std::map<std::string, Handler>& valueOptions() {
  static const std::map<std::string, Handler> handlers{
      {"--firmware-version",
       [](const std::string& v, SimOptions& o) { return parseInteger<uint8_t>(v, o.unit.firmwareVersion, 0xFF); }},
      {"--formats", [](const std::string& v, SimOptions& o) { return parseFormats(v, o.unit.formats); }},
      {"--config", [](const std::string& v, SimOptions& o) { return o.configFile = v, !v.empty(); }},
      {"--erase-delay-ms",
       [](const std::string& v, SimOptions& o) {
         uint32_t ms = 0;
         if (!parseInteger<uint32_t>(v, ms, 3'600'000)) return false;
         o.unit.eraseDelay = std::chrono::milliseconds(ms);
         return true;
       }},
      {"--baud", [](const std::string& v, SimOptions& o) { return parseInteger<uint32_t>(v, o.baud, 10'000'000); }},
      {"--drop", [](const std::string& v, SimOptions& o) { return parseProbability(v, o.faults.drop); }},
      {"--corrupt", [](const std::string& v, SimOptions& o) { return parseProbability(v, o.faults.corrupt); }},
      {"--ignore", [](const std::string& v, SimOptions& o) { return parseProbability(v, o.faults.ignore); }},
      {"--seed", [](const std::string& v, SimOptions& o) { return parseInteger<uint64_t>(v, o.seed, UINT64_MAX); }},
      {"--vanish-after-frames",
       [](const std::string& v, SimOptions& o) {
         return parseInteger<uint64_t>(v, o.vanishAfterFrames, UINT64_MAX) && o.vanishAfterFrames > 0;
       }},
      {"--save-config", [](const std::string& v, SimOptions& o) { return o.saveConfig = v, !v.empty(); }},
      {"--save-firmware", [](const std::string& v, SimOptions& o) { return o.saveFirmware = v, !v.empty(); }},
  };
  return handlers;
}

bool setFlag(const std::string& name, SimOptions& o) {
  if (name == "--bad-checksum") return o.unit.badChecksum = true;
  if (name == "--incompatible") return o.unit.incompatible = true;
  if (name == "--silent") return o.unit.silent = true;
  if (name == "--chatter") return o.unit.chatter = true;
  if (name == "--wrong-block") return o.unit.wrongBlock = true;
  if (name == "--restart-download") return o.unit.restartDownload = true;
  if (name == "--trace") return o.trace = true;
  if (name == "--help" || name == "-h") return o.help = true;
  return false;
}

}  // namespace

bool parseProbability(const std::string& text, double& out) {
  if (text.empty()) return false;
  const bool percent = text.back() == '%';
  const std::string number = percent ? text.substr(0, text.size() - 1) : text;
  char* end = nullptr;
  const double value = std::strtod(number.c_str(), &end);
  if (number.empty() || end != number.c_str() + number.size() || !std::isfinite(value) || value < 0)
    return false;
  const double p = percent || value > 1 ? value / 100 : value;
  if (p > 1) return false;
  out = p;
  return true;
}

bool parseOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::string value;
    bool hasValue = false;
    if (const std::size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
      value = name.substr(eq + 1), name = name.substr(0, eq), hasValue = true;
    }
    const auto it = valueOptions().find(name);
    if (it == valueOptions().end()) {
      if (hasValue || !setFlag(name, options)) {
        error = "unknown option " + args[i];
        return false;
      }
      continue;
    }
    if (!hasValue) {
      if (i + 1 >= args.size()) {
        error = name + " needs a value";
        return false;
      }
      value = args[++i];
    }
    if (!it->second(value, options)) {
      error = "bad value for " + name + ": " + value;
      return false;
    }
  }
  return true;
}

const char* helpText() {
  return "Usage: trv810-sim [OPTIONS]\n"
         "\n"
         "A simulated TRV810 unit on a pseudo-terminal. Prints \"PTY <device>\" as its first\n"
         "line, then serves until SIGINT or SIGTERM. Point the tool at the device, e.g.\n"
         "TRV810_COM1=<device> trv810ctl read out.kfg\n"
         "\n"
         "Options:\n"
         "  --firmware-version BYTE  version it reports (default 0x17, i.e. 1.7)\n"
         "  --formats LIST           formats it delivers, e.g. 3,2,1 (default) or 2,1\n"
         "  --config FILE.kfg        configuration it holds (default: a built-in sample)\n"
         "  --bad-checksum           uploads carry a wrong sum byte\n"
         "  --incompatible           0x51 to every download, 0xF5 to every format\n"
         "  --erase-delay-ms N       delay before it answers a download request (1500)\n"
         "  --baud N                 line speed it paces itself to, 10 bits a byte\n"
         "                           (19200; 0: no pacing)\n"
         "  --drop P                 drop frames it would send\n"
         "  --corrupt P              send frames with one byte damaged\n"
         "  --ignore P               ignore frames it receives\n"
         "  --seed N                 seed of the faults above (default 1)\n"
         "                           P is a fraction (0.05) or a percentage (5%)\n"
         "  --silent                 never answer\n"
         "  --chatter                accept a read, then acknowledge every 100 ms, no block\n"
         "  --wrong-block            number every block of a read one too high\n"
         "  --restart-download       answer every download block with \"send again from 0\"\n"
         "  --vanish-after-frames N  close its pseudo-terminal after N frames received, as a\n"
         "                           unit that is switched off or an adapter pulled out\n"
         "  --save-config FILE.kfg   write each configuration it receives\n"
         "  --save-firmware FILE.bin write each firmware it receives\n"
         "  --trace                  every frame in and out, with its time, on stderr\n"
         "  --help                   this text\n"
         "\n"
         "At exit, and on SIGUSR1, it writes one line of JSON with its counters to stderr:\n"
         "  {\"sim\":{\"bytes_in\":..,\"bytes_out\":..,\"frames_in\":..,\"frames_out\":..,\n"
         "   \"dropped\":..,\"corrupted\":..,\"ignored\":..,\"erase_delay_ms\":..,\n"
         "   \"line_in_ms\":..,\"line_out_ms\":..,\"upload_resends\":..,\"config_downloads\":..,\n"
         "   \"firmware_downloads\":..,\"uploads\":..,\"write_late_us\":..,\"uptime_ms\":..}}\n";
}

}  // namespace trv810::sim
