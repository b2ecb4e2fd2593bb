#include "config/config_json.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "config/control_ids.h"
#include "config/cp1252.h"
#include "config/form.h"
#include "config/offline_config.h"
#include "config/signal_sequence.h"

// Reading runs in two stages. The first walks the document and refuses anything that
// is not the schema, and turns the values the form never checks (inactive rows,
// sequences the form does not parse, the toggles' bits) into a cleared image. The
// second fills the form from that image, puts the document's texts for the checked
// fields into the form as if typed, and reads the form back as "TRV programmieren"
// does, so every range and syntax check and its message are the form's own.

namespace trv810::config {
namespace {

// Keys keep the order in which they are written.
using Json = nlohmann::ordered_json;

constexpr std::size_t kManualEmptyBytes = 9;  // the form's empty test of the manual slot
// Bits 1 to 7 of `flags`: no field shows them, and the form passes them on unchanged.
constexpr uint16_t kReservedFlags = 0x00FE;

const std::initializer_list<std::string_view> kRelayKeys{"K3", "K4", "K5", "K6", "K7", "K8", "K9", "K10"};

std::string relayKey(int j) { return std::string(kRelayKeys.begin()[j]); }

std::string addressText(uint32_t address) {
  if (address == 0) return {};
  char text[16];
  std::snprintf(text, sizeof text, "%.7u", static_cast<unsigned>(address));
  return text;
}

// A slot whose first `zeroBytes` are zero (as in a cleared image) was never filled:
// null. Otherwise its text, "" for a slot that ends before its first item. The form
// shows both as an empty field.
Json sequenceValue(ConstSequenceSlot slot, std::size_t zeroBytes) {
  if (std::all_of(slot.begin(), slot.begin() + zeroBytes, [](uint8_t b) { return b == 0; })) return nullptr;
  return formatSignalSequence(slot);
}

Json relays(auto&& on) {
  Json out = Json::object();
  for (int j = 0; j < kRelayCount; ++j) out[relayKey(j)] = on(j);
  return out;
}

Json toJson(const ConfigImage& image, int formatIndex) {
  Json rows = Json::array();
  for (int r = 0; r < kRowCount; ++r) {
    Json row = Json::object();
    row["active"] = image.active(r);
    row["address"] = addressText(image.address(r));
    const uint8_t function = image.functionIndex(r);
    // A stored index above 3 has no letter; it is kept as its number.
    row["function"] = function < 4 ? Json(std::string(1, static_cast<char>('A' + function))) : Json(function);
    row["siren"] = image.siren(r);
    row["sequence"] = sequenceValue(image.sequence(r), kSequenceCodeBytes);
    row["relays"] = relays([&](int j) { return image.relayOn(j, r); });
    rows.push_back(std::move(row));
  }
  const uint16_t flags = image.flags();
  const auto ident = image.identText();
  Json general = Json::object();
  general["baudRate"] = (flags & kFlagBaud1200) ? 1200 : 512;
  general["ident"] = cp1252ToUtf8(std::string(ident.begin(), std::find(ident.begin(), ident.end(), uint8_t{0})));
  Json times = Json::object();
  for (int j = 0; j < kRelayCount; ++j) times[relayKey(j)] = image.switchOnTime(j);
  general["switchOnTimes"] = std::move(times);
  general["manualSequence"] = sequenceValue(image.manualSequence(), kManualEmptyBytes);
  general["manualRelays"] = relays([&](int j) { return ((flags >> (kFlagManualRelayShift + j)) & 1u) != 0; });
  general["deadTime"] = image.deadTime();
  general["alarmInterval"] = image.alarmInterval();
  general["reservedFlags"] = (flags & kReservedFlags) >> 1;

  Json doc = Json::object();
  doc["format"] = formatIndex;
  doc["rows"] = std::move(rows);
  doc["general"] = std::move(general);
  return doc;
}

std::string child(const std::string& path, std::string_view key) {
  return path.empty() ? std::string(key) : path + "." + std::string(key);
}

void flatten(const Json& value, const std::string& path, std::vector<JsonField>& out) {
  if (value.is_object()) {
    for (const auto& [key, item] : value.items()) flatten(item, child(path, key), out);
  } else if (value.is_array()) {
    for (std::size_t i = 0; i < value.size(); ++i) flatten(value[i], path + "[" + std::to_string(i) + "]", out);
  } else if (value.is_string()) {
    const std::string& text = value.get_ref<const std::string&>();
    out.push_back({path, text.empty() ? "\"\"" : text});
  } else {
    out.push_back({path, value.dump()});
  }
}

// ---- Reading: the first stage ----

// The texts the form checks, as the document gives them (Windows-1252).
struct Typed {
  std::array<AddressText, kRowCount> rows{};
  std::array<std::string, kRelayCount> switchOnTimes;
  std::string manualSequence, deadTime, alarmInterval, ident;
};

class Reader {
 public:
  bool failed() const { return !message_.empty(); }
  void fail(const std::string& path, std::string message, std::string hint = {}) {
    if (failed()) return;
    path_ = path;
    message_ = std::move(message);
    hint_ = std::move(hint);
  }
  void report(JsonImport& out) const {
    out.path = path_;
    out.message = message_;
    out.hint = hint_;
  }

  // True when `value` is an object with exactly `keys`.
  bool object(const Json& value, const std::string& path, std::initializer_list<std::string_view> keys) {
    if (!value.is_object()) {
      fail(path, path.empty() ? "das Dokument ist kein JSON-Objekt" : "erwartet ein Objekt");
      return false;
    }
    for (const auto& [key, item] : value.items())
      if (std::find(keys.begin(), keys.end(), key) == keys.end()) fail(child(path, key), "unbekanntes Feld");
    for (std::string_view key : keys)
      if (!value.contains(std::string(key))) fail(child(path, key), "Feld fehlt");
    return !failed();
  }

  std::optional<bool> boolean(const Json& value, const std::string& path) {
    if (value.is_boolean()) return value.get<bool>();
    fail(path, "erwartet true oder false");
    return std::nullopt;
  }

  // A text in Windows-1252, as the form's controls hold it.
  std::optional<std::string> text(const Json& value, const std::string& path) {
    if (!value.is_string()) {
      fail(path, "erwartet einen Text");
      return std::nullopt;
    }
    return cp1252(value, path);
  }

  // A sequence: a text, or null for a slot never filled (empty in the form).
  std::optional<std::string> sequence(const Json& value, const std::string& path) {
    if (value.is_null()) return std::string();
    if (!value.is_string()) {
      fail(path, "erwartet einen Text oder null");
      return std::nullopt;
    }
    return cp1252(value, path);
  }

  // A whole number as its decimal text, which the form then reads as if typed.
  std::optional<std::string> number(const Json& value, const std::string& path) {
    if (value.is_number_unsigned()) return std::to_string(value.get<uint64_t>());
    if (value.is_number_integer()) return std::to_string(value.get<int64_t>());
    fail(path, "erwartet eine ganze Zahl");
    return std::nullopt;
  }

  // Whether `text` fits the `chars` its form field is read with. A longer one is
  // refused with the field's own error: the form would cut it, and what was cut could
  // pass as a valid value that the document never said.
  bool fits(const std::string& text, std::size_t chars, const std::string& path, FormResult error) {
    if (text.size() <= chars) return true;
    fail(path, formResultMessage(error), formResultHint(error));
    return false;
  }

  std::optional<std::array<bool, kRelayCount>> relays(const Json& value, const std::string& path) {
    std::array<bool, kRelayCount> on{};
    if (!object(value, path, kRelayKeys)) return std::nullopt;
    for (int j = 0; j < kRelayCount; ++j) {
      const auto bit = boolean(value[relayKey(j)], child(path, relayKey(j)));
      if (!bit) return std::nullopt;
      on[static_cast<std::size_t>(j)] = *bit;
    }
    return on;
  }

 private:
  std::optional<std::string> cp1252(const Json& value, const std::string& path) {
    const std::string& utf8 = value.get_ref<const std::string&>();
    if (utf8.find('\0') != std::string::npos) {
      fail(path, "Text mit Nullzeichen");
      return std::nullopt;
    }
    Cp1252Conversion converted = utf8ToCp1252(utf8);
    if (!converted.complete) {
      fail(path, "Zeichen ohne Windows-1252-Code an Byte " + std::to_string(converted.firstBadOffset));
      return std::nullopt;
    }
    return std::move(converted.bytes);
  }

  std::string path_, message_, hint_;
};

// The address of a row the form does not check: digits of a 32-bit value, or empty.
std::optional<uint32_t> storedAddress(std::string_view text) {
  if (text.size() > 10 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const uint64_t value = text.empty() ? 0 : std::stoull(std::string(text));
  if (value > UINT32_MAX) return std::nullopt;
  return static_cast<uint32_t>(value);
}

// "A" to "D"; on an inactive row also a stored index as its number. An active row's
// function is a choice of the form's list, which has no entry beyond "D".
std::optional<uint8_t> functionIndex(const Json& value, bool active) {
  if (value.is_string()) {
    const std::string& letter = value.get_ref<const std::string&>();
    if (letter.size() == 1 && letter[0] >= 'A' && letter[0] <= 'D') return static_cast<uint8_t>(letter[0] - 'A');
  } else if (!active && value.is_number_unsigned() && value.get<uint64_t>() <= 255) {
    return static_cast<uint8_t>(value.get<uint64_t>());
  }
  return std::nullopt;
}

void readRow(Reader& in, const Json& value, int r, ConfigImage& image, AddressText& typed) {
  const std::string path = "rows[" + std::to_string(r) + "]";
  if (!in.object(value, path, {"active", "address", "function", "siren", "sequence", "relays"})) return;
  const auto active = in.boolean(value["active"], path + ".active");
  const auto address = in.text(value["address"], path + ".address");
  if (!active || !address) return;
  const auto function = functionIndex(value["function"], *active);
  if (!function) return in.fail(path + ".function", "erwartet \"A\", \"B\", \"C\" oder \"D\"");
  const auto siren = in.boolean(value["siren"], path + ".siren");
  const auto sequence = in.sequence(value["sequence"], path + ".sequence");
  const auto relays = in.relays(value["relays"], path + ".relays");
  if (!siren || !sequence || !relays) return;
  if (*active && !in.fits(*address, kAddressTextChars, path + ".address", {FormResult::kAddressError, r + 1})) return;
  if (!in.fits(*sequence, kRowSequenceTextChars, path + ".sequence", {FormResult::kSequenceError, r + 1})) return;

  image.setActive(r, *active);
  image.setSiren(r, *siren);
  for (int j = 0; j < kRelayCount; ++j) image.setRelayOn(j, r, (*relays)[static_cast<std::size_t>(j)]);
  typed = {*address, *function, *sequence};
  if (!*active) {
    const auto stored = storedAddress(*address);
    if (!stored) return in.fail(path + ".address", "erwartet die Ziffern einer Adresse oder \"\"");
    image.setAddress(r, *stored);
    image.setFunctionIndex(r, *function);
  }
  // Sequences the form does not parse go into the image here: null leaves the slot of
  // the cleared image, "" ends it before the first item.
  if (*active && *siren) return;
  const SequenceSlot slot = image.sequence(r);
  if (value["sequence"].is_null()) return;
  if (sequence->empty()) {
    std::ranges::fill(slot, uint8_t{0xFF});
  } else if (!parseSignalSequence(*sequence, slot)) {
    const FormResult error{FormResult::kSequenceError, r + 1};
    in.fail(path + ".sequence", formResultMessage(error), formResultHint(error));
  }
}

void readGeneral(Reader& in, const Json& value, ConfigImage& image, Typed& typed) {
  const std::string path = "general";
  if (!in.object(value, path, {"baudRate", "ident", "switchOnTimes", "manualSequence", "manualRelays", "deadTime",
                               "alarmInterval", "reservedFlags"}))
    return;
  const auto baud = in.number(value["baudRate"], path + ".baudRate");
  if (!baud) return;
  if (*baud != "512" && *baud != "1200") return in.fail(path + ".baudRate", "erwartet 512 oder 1200");
  const auto ident = in.text(value["ident"], path + ".ident");
  if (!ident || !in.object(value["switchOnTimes"], path + ".switchOnTimes", kRelayKeys)) return;
  for (int j = 0; j < kRelayCount; ++j) {
    const std::string field = path + ".switchOnTimes." + relayKey(j);
    const auto seconds = in.number(value["switchOnTimes"][relayKey(j)], field);
    if (!seconds || !in.fits(*seconds, kSwitchOnTimeChars, field, {FormResult::kSwitchOnTimeError + j})) return;
    typed.switchOnTimes[static_cast<std::size_t>(j)] = *seconds;
  }
  const auto manual = in.sequence(value["manualSequence"], path + ".manualSequence");
  const auto relays = manual ? in.relays(value["manualRelays"], path + ".manualRelays") : std::nullopt;
  const auto dead = relays ? in.number(value["deadTime"], path + ".deadTime") : std::nullopt;
  const auto interval = dead ? in.number(value["alarmInterval"], path + ".alarmInterval") : std::nullopt;
  if (!interval ||
      !in.fits(*manual, kSequenceTextChars, path + ".manualSequence", {FormResult::kManualSequenceError}) ||
      !in.fits(*dead, kSecondsChars, path + ".deadTime", {FormResult::kDeadTimeError}) ||
      !in.fits(*interval, kSecondsChars, path + ".alarmInterval", {FormResult::kAlarmIntervalError}))
    return;
  const Json& reserved = value["reservedFlags"];
  if (!reserved.is_number_unsigned() || reserved.get<uint64_t>() > (kReservedFlags >> 1))
    return in.fail(path + ".reservedFlags", "erwartet eine Zahl von 0 bis 127");

  uint16_t flags = static_cast<uint16_t>((*baud == "1200" ? kFlagBaud1200 : 0) | reserved.get<uint64_t>() << 1);
  for (int j = 0; j < kRelayCount; ++j)
    if ((*relays)[static_cast<std::size_t>(j)]) flags |= static_cast<uint16_t>(1u << (kFlagManualRelayShift + j));
  image.setFlags(flags);
  typed.ident = *ident;
  typed.manualSequence = *manual;
  typed.deadTime = *dead;
  typed.alarmInterval = *interval;
}

void readDocument(Reader& in, const Json& doc, int& format, ConfigImage& image, Typed& typed) {
  if (!in.object(doc, "", {"format", "rows", "general"})) return;
  const auto formatText = in.number(doc["format"], "format");
  if (!formatText) return;
  if (*formatText != "1" && *formatText != "2" && *formatText != "3") return in.fail("format", "erwartet 1, 2 oder 3");
  format = std::stoi(*formatText);
  const Json& rows = doc["rows"];
  if (!rows.is_array() || rows.size() != kRowCount)
    return in.fail("rows", "erwartet eine Liste von " + std::to_string(kRowCount) + " Zeilen");
  for (int r = 0; r < kRowCount && !in.failed(); ++r)
    readRow(in, rows[static_cast<std::size_t>(r)], r, image, typed.rows[static_cast<std::size_t>(r)]);
  if (!in.failed()) readGeneral(in, doc["general"], image, typed);
}

// ---- Reading: the second stage ----

std::string formFieldPath(FormResult result) {
  const std::string row = "rows[" + std::to_string(result.row - 1) + "]";
  switch (result.code) {
    case FormResult::kAddressError: return row + ".address";
    case FormResult::kSequenceError: return row + ".sequence";
    case FormResult::kNoBaudRate: return "general.baudRate";
    case FormResult::kManualSequenceError: return "general.manualSequence";
    case FormResult::kDeadTimeError: return "general.deadTime";
    case FormResult::kAlarmIntervalError: return "general.alarmInterval";
    case FormResult::kIdentError: return "general.ident";
    default: return "general.switchOnTimes." + relayKey(result.code - FormResult::kSwitchOnTimeError);
  }
}

// Fills the form from `image`, types the document's texts into it and reads it back.
FormResult throughForm(OfflineConfig& config, const ConfigImage& image, const Typed& typed) {
  config.image() = image;
  Form& form = config.form();
  form.fillForm();
  for (int r = 0; r < kRowCount; ++r)
    if (image.active(r)) form.addressText(r) = typed.rows[static_cast<std::size_t>(r)];
  window::ControlTable& controls = config.controls();
  for (int j = 0; j < kRelayCount; ++j)
    controls.setText(ids::switchOnTime(j), typed.switchOnTimes[static_cast<std::size_t>(j)]);
  controls.setText(ids::kManualSequence, typed.manualSequence);
  controls.setText(ids::kDeadTime, typed.deadTime);
  controls.setText(ids::kAlarmInterval, typed.alarmInterval);
  controls.setText(ids::kIdent, typed.ident);
  form.showVisibleRows();
  return config.validate();
}

// The document has four levels of objects and arrays: the whole, "rows", a row and its
// "relays". Deeper nesting is refused while it is read, before the tree grows: a
// deep tree would be copied and destroyed recursively, and a document of some
// 100 KB would overflow the stack.
constexpr int kMaxDepth = 4;

// Thrown by the parser's callback at the first object or array below the four levels.
struct TooDeep {};

// Watches the parser: refuses nesting deeper than the schema's and notes keys that
// occur twice in one object (the parser would keep only the last silently).
class ParseWatch {
 public:
  bool operator()(int depth, Json::parse_event_t event, Json& parsed) {
    using Event = Json::parse_event_t;
    if ((event == Event::object_start || event == Event::array_start) && depth >= kMaxDepth) throw TooDeep{};
    if (event == Event::object_start) {
      open_.emplace_back();
    } else if (event == Event::object_end && !open_.empty()) {
      open_.pop_back();
    } else if (event == Event::key && !open_.empty() && !open_.back().insert(parsed.get<std::string>()).second &&
               first_.empty()) {
      first_ = parsed.get<std::string>();
    }
    return true;
  }
  const std::string& firstDuplicate() const { return first_; }

 private:
  std::vector<std::set<std::string>> open_;
  std::string first_;
};

// Offset of the first '[' or '{' outside strings that opens a level below the four;
// the parser has read the text up to it without fault.
std::size_t tooDeepOffset(std::string_view text) {
  int depth = 0;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') ++i;
      else if (c == '"') inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > kMaxDepth) return i;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return text.size();
}

// Line and column (from 1) of the byte at `offset` (from 1, as the parser counts).
std::string position(std::string_view text, std::size_t offset) {
  offset = std::min(offset == 0 ? 0 : offset - 1, text.size());
  const std::string_view before = text.substr(0, offset);
  const auto line = std::count(before.begin(), before.end(), '\n') + 1;
  const std::size_t lineStart = before.rfind('\n') == std::string_view::npos ? 0 : before.rfind('\n') + 1;
  return "Zeile " + std::to_string(line) + ", Spalte " + std::to_string(offset - lineStart + 1);
}

}  // namespace

std::string exportJson(const ConfigImage& image, int formatIndex) {
  return toJson(image, formatIndex).dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::vector<JsonField> jsonFields(const ConfigImage& image, int formatIndex) {
  std::vector<JsonField> out;
  flatten(toJson(image, formatIndex), {}, out);
  return out;
}

JsonImport importJson(std::string_view text) {
  JsonImport out;
  Json doc;
  ParseWatch watch;
  try {
    doc = Json::parse(text.begin(), text.end(), std::ref(watch));
  } catch (const Json::parse_error& e) {
    out.message = "kein gültiges JSON (" + position(text, e.byte) + ")";
    return out;
  } catch (const Json::exception&) {  // a number beyond the range of a double
    out.message = "kein gültiges JSON (Zahl außerhalb des Wertebereichs)";
    return out;
  } catch (const TooDeep&) {
    out.message = "kein gültiges JSON (" + position(text, tooDeepOffset(text) + 1) + ": mehr als " +
                  std::to_string(kMaxDepth) + " Ebenen verschachtelt)";
    return out;
  }
  // The parser takes a zero byte for the end of the text and ignores what follows it;
  // no JSON text holds one, inside a string or outside.
  if (const std::size_t zero = text.find('\0'); zero != std::string_view::npos) {
    out.message = "kein gültiges JSON (" + position(text, zero + 1) + ": Nullbyte)";
    return out;
  }
  if (!watch.firstDuplicate().empty()) {
    out.message = "Feld \"" + watch.firstDuplicate() + "\" doppelt in einem Objekt";
    return out;
  }
  Reader in;
  ConfigImage image;
  Typed typed;
  readDocument(in, doc, out.formatIndex, image, typed);
  if (in.failed()) {
    in.report(out);
    return out;
  }
  OfflineConfig config;
  if (const FormResult result = throughForm(config, image, typed); !result.ok()) {
    out.path = formFieldPath(result);
    out.message = formResultMessage(result);
    out.hint = formResultHint(result);
    return out;
  }
  out.image = config.image();
  return out;
}

}  // namespace trv810::config
