#include "config/config_json.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "config/cp1252.h"
#include "config/form.h"
#include "config/general_fields.h"
#include "config/offline_config.h"
#include "config/row_columns.h"
#include "config/signal_sequence.h"
#include "config/texts.h"

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

std::string relayKey(int j) { return std::string(kRelayNames[j]); }

Json relays(auto&& on) {
  Json out = Json::object();
  for (int j = 0; j < kRelayCount; ++j) out[relayKey(j)] = on(j);
  return out;
}

// A slot never filled is null; otherwise its text, "" for a slot that ends before its
// first item. The form shows both as an empty field.
Json sequenceValue(ConstSequenceSlot slot, std::size_t zeroBytes) {
  if (sequenceNeverFilled(slot, zeroBytes)) return nullptr;
  return formatSignalSequence(slot);
}

// Where a general field's value goes: its key, or its key inside the object that
// groups it ("switchOnTimes.K3").
Json& slotOf(Json& general, const std::string& key) {
  const std::size_t dot = key.find('.');
  if (dot == std::string::npos) return general[key];
  return general[key.substr(0, dot)][key.substr(dot + 1)];
}

Json generalValue(const ConfigImage& image, const GeneralField& f) {
  const uint16_t flags = image.flags();
  switch (f.kind) {
    case FieldKind::BaudRate: return (flags & kFlagBaud1200) ? 1200 : 512;
    case FieldKind::Number: return image.word(f.offset);
    case FieldKind::Sequence: return sequenceValue(image.manualSequence(), kManualSequenceEmptyBytes);
    case FieldKind::Text: return cp1252ToUtf8(identShown(image.identText()));
    case FieldKind::ManualRelays:
      return relays([&](int j) { return ((flags >> (kFlagManualRelayShift + j)) & 1u) != 0; });
    case FieldKind::ReservedFlags: return (flags & kReservedFlags) >> 1;
  }
  return nullptr;
}

Json cellValue(const ConfigImage& image, const RowColumn& column, int r) {
  switch (column.kind) {
    case ColumnKind::Address: return addressDigits(image.address(r));
    case ColumnKind::Function: {
      const uint8_t function = image.functionIndex(r);
      // A stored index beyond the letters has none; it is kept as its number.
      return function < std::size(kFunctionLetters) ? Json(std::string(kFunctionLetters[function])) : Json(function);
    }
    case ColumnKind::Sequence: return sequenceValue(image.sequence(r), kSequenceCodeBytes);
    case ColumnKind::Relays: return relays([&](int j) { return image.relayOn(j, r); });
    default: return toggleOn(image, column.kind, r);
  }
}

Json toJson(const ConfigImage& image, int formatIndex) {
  Json rows = Json::array();
  for (int r = 0; r < kRowCount; ++r) {
    Json row = Json::object();
    for (const RowColumn& c : kRowColumns) row[std::string(c.jsonKey)] = cellValue(image, c, r);
    rows.push_back(std::move(row));
  }
  Json general = Json::object();
  for (const GeneralField* f : fieldsInDocumentOrder()) slotOf(general, f->jsonKey) = generalValue(image, *f);

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

// The texts the form checks, as the document gives them (Windows-1252); the general
// fields' by their place in the table.
struct Typed {
  std::array<AddressText, kRowCount> rows{};
  std::vector<std::string> general = std::vector<std::string>(generalFields().size());
  std::string& of(const GeneralField& f) { return general[static_cast<std::size_t>(&f - generalFields().data())]; }
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
  bool object(const Json& value, const std::string& path, const std::vector<std::string_view>& keys) {
    if (!value.is_object()) {
      fail(path, std::string(path.empty() ? texts::kJsonNotAnObjectDocument : texts::kJsonExpectsObject));
      return false;
    }
    for (const auto& [key, item] : value.items())
      if (std::find(keys.begin(), keys.end(), key) == keys.end()) fail(child(path, key), std::string(texts::kJsonUnknownField));
    for (std::string_view key : keys)
      if (!value.contains(std::string(key))) fail(child(path, key), std::string(texts::kJsonMissingField));
    return !failed();
  }

  std::optional<bool> boolean(const Json& value, const std::string& path) {
    if (value.is_boolean()) return value.get<bool>();
    fail(path, std::string(texts::kJsonExpectsBoolean));
    return std::nullopt;
  }

  // A text in Windows-1252, as the form's controls hold it.
  std::optional<std::string> text(const Json& value, const std::string& path) {
    if (!value.is_string()) {
      fail(path, std::string(texts::kJsonExpectsText));
      return std::nullopt;
    }
    return cp1252(value, path);
  }

  // A sequence: a text, or null for a slot never filled (empty in the form).
  std::optional<std::string> sequence(const Json& value, const std::string& path) {
    if (value.is_null()) return std::string();
    if (!value.is_string()) {
      fail(path, std::string(texts::kJsonExpectsTextOrNull));
      return std::nullopt;
    }
    return cp1252(value, path);
  }

  // A whole number as its decimal text, which the form then reads as if typed.
  std::optional<std::string> number(const Json& value, const std::string& path) {
    if (value.is_number_unsigned()) return std::to_string(value.get<uint64_t>());
    if (value.is_number_integer()) return std::to_string(value.get<int64_t>());
    fail(path, std::string(texts::kJsonExpectsInteger));
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
    if (!object(value, path, {std::begin(kRelayNames), std::end(kRelayNames)})) return std::nullopt;
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
      fail(path, std::string(texts::kJsonZeroCharacter));
      return std::nullopt;
    }
    Cp1252Conversion converted = utf8ToCp1252(utf8);
    if (!converted.complete) {
      fail(path, texts::jsonNotWindows1252(converted.firstBadOffset));
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
    const auto letter = std::ranges::find(kFunctionLetters, value.get_ref<const std::string&>());
    if (letter != std::end(kFunctionLetters)) return static_cast<uint8_t>(letter - std::begin(kFunctionLetters));
  } else if (!active && value.is_number_unsigned() && value.get<uint64_t>() <= 255) {
    return static_cast<uint8_t>(value.get<uint64_t>());
  }
  return std::nullopt;
}

// The keys of a row, in document order.
std::vector<std::string_view> rowKeys() {
  std::vector<std::string_view> keys;
  for (const RowColumn& c : kRowColumns) keys.push_back(c.jsonKey);
  return keys;
}

// [row-column]: how each column's value is read, and the rules between columns.
void readRow(Reader& in, const Json& value, int r, ConfigImage& image, AddressText& typed) {
  using enum ColumnKind;
  const std::string row = "rows[" + std::to_string(r) + "]";
  if (!in.object(value, row, rowKeys())) return;
  const auto path = [&](ColumnKind kind) { return child(row, rowColumn(kind).jsonKey); };
  const auto cell = [&](ColumnKind kind) -> const Json& { return value[std::string(rowColumn(kind).jsonKey)]; };
  const auto fits = [&](const std::string& text, ColumnKind kind) {
    return in.fits(text, rowColumn(kind).chars, path(kind), {rowColumn(kind).code, r + 1});
  };
  const auto active = in.boolean(cell(Active), path(Active));
  const auto address = in.text(cell(Address), path(Address));
  if (!active || !address) return;
  const auto function = functionIndex(cell(Function), *active);
  if (!function) return in.fail(path(Function), std::string(texts::kJsonExpectsFunction));
  const auto siren = in.boolean(cell(Siren), path(Siren));
  const auto sequence = in.sequence(cell(Sequence), path(Sequence));
  const auto relays = in.relays(cell(Relays), path(Relays));
  if (!siren || !sequence || !relays) return;
  if ((*active && !fits(*address, Address)) || !fits(*sequence, Sequence)) return;

  image.setActive(r, *active);
  image.setSiren(r, *siren);
  for (int j = 0; j < kRelayCount; ++j) image.setRelayOn(j, r, (*relays)[static_cast<std::size_t>(j)]);
  typed = {*address, *function, *sequence};
  if (!*active) {
    const auto stored = storedAddress(*address);
    if (!stored) return in.fail(path(Address), std::string(texts::kJsonExpectsStoredAddress));
    image.setAddress(r, *stored);
    image.setFunctionIndex(r, *function);
  }
  // Sequences the form does not parse go into the image here: null leaves the slot of
  // the cleared image, "" ends it before the first item.
  if (*active && *siren) return;
  const SequenceSlot slot = image.sequence(r);
  if (cell(Sequence).is_null()) return;
  if (sequence->empty()) {
    std::ranges::fill(slot, uint8_t{0xFF});
  } else if (!parseSignalSequence(*sequence, slot)) {
    const FormResult error{rowColumn(Sequence).code, r + 1};
    in.fail(path(Sequence), formResultMessage(error), formResultHint(error));
  }
}

// The keys of "general", or of the object `group` inside it, in document order.
std::vector<std::string_view> generalKeys(std::string_view group = {}) {
  std::vector<std::string_view> keys;
  for (const GeneralField* f : fieldsInDocumentOrder()) {
    std::string_view key = f->jsonKey;
    const std::size_t dot = key.find('.');
    if (!group.empty()) {
      if (dot == std::string_view::npos || key.substr(0, dot) != group) continue;
      key = key.substr(dot + 1);
    } else if (dot != std::string_view::npos) {
      key = key.substr(0, dot);
    }
    if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
  }
  return keys;
}

// Reads one general field into `typed` (what the form checks) or `flags`; false at
// the first error.
bool readGeneralField(Reader& in, const Json& general, const GeneralField& f, uint16_t& flags, std::string& typed) {
  const std::string path = "general." + f.jsonKey;
  const std::size_t dot = f.jsonKey.find('.');
  const Json* value = &general;
  if (dot != std::string::npos) {
    // The first field of a group checks the group's object.
    const std::string group = f.jsonKey.substr(0, dot);
    if (generalKeys(group).front() == std::string_view(f.jsonKey).substr(dot + 1) &&
        !in.object(general[group], "general." + group, generalKeys(group)))
      return false;
    value = &general[group][f.jsonKey.substr(dot + 1)];
  } else {
    value = &general[f.jsonKey];
  }
  switch (f.kind) {
    case FieldKind::BaudRate: {
      const auto baud = in.number(*value, path);
      if (!baud) return false;
      if (*baud != kBaudRateEntries[0] && *baud != kBaudRateEntries[1]) {
        in.fail(path, std::string(texts::kJsonExpectsBaudRate));
        return false;
      }
      if (*baud == kBaudRateEntries[1]) flags |= kFlagBaud1200;
      return true;
    }
    case FieldKind::Number: {
      const auto number = in.number(*value, path);
      if (!number || !in.fits(*number, f.chars, path, {f.code})) return false;
      typed = *number;
      return true;
    }
    case FieldKind::Sequence: {
      const auto sequence = in.sequence(*value, path);
      if (!sequence || !in.fits(*sequence, f.chars, path, {f.code})) return false;
      typed = *sequence;
      return true;
    }
    case FieldKind::Text: {
      const auto text = in.text(*value, path);
      if (text) typed = *text;
      return text.has_value();
    }
    case FieldKind::ManualRelays: {
      const auto relays = in.relays(*value, path);
      if (!relays) return false;
      for (int j = 0; j < kRelayCount; ++j)
        if ((*relays)[static_cast<std::size_t>(j)]) flags |= static_cast<uint16_t>(1u << (kFlagManualRelayShift + j));
      return true;
    }
    case FieldKind::ReservedFlags:
      if (!value->is_number_unsigned() || value->get<uint64_t>() > (kReservedFlags >> 1)) {
        in.fail(path, std::string(texts::kJsonExpectsReservedFlags));
        return false;
      }
      flags |= static_cast<uint16_t>(value->get<uint64_t>() << 1);
      return true;
  }
  return true;
}

void readGeneral(Reader& in, const Json& value, ConfigImage& image, Typed& typed) {
  if (!in.object(value, "general", generalKeys())) return;
  uint16_t flags = 0;
  for (const GeneralField* f : fieldsInDocumentOrder())
    if (!readGeneralField(in, value, *f, flags, typed.of(*f))) return;
  image.setFlags(flags);
}

void readDocument(Reader& in, const Json& doc, int& format, ConfigImage& image, Typed& typed) {
  if (!in.object(doc, "", {"format", "rows", "general"})) return;
  const auto formatText = in.number(doc["format"], "format");
  if (!formatText) return;
  if (*formatText != "1" && *formatText != "2" && *formatText != "3") return in.fail("format", std::string(texts::kJsonExpectsFormat));
  format = std::stoi(*formatText);
  const Json& rows = doc["rows"];
  if (!rows.is_array() || rows.size() != kRowCount)
    return in.fail("rows", texts::jsonExpectsRows(kRowCount));
  for (int r = 0; r < kRowCount && !in.failed(); ++r)
    readRow(in, rows[static_cast<std::size_t>(r)], r, image, typed.rows[static_cast<std::size_t>(r)]);
  if (!in.failed()) readGeneral(in, doc["general"], image, typed);
}

// ---- Reading: the second stage ----

std::string formFieldPath(FormResult result) {
  if (const RowColumn* column = rowColumnOfCode(result.code))
    return "rows[" + std::to_string(result.row - 1) + "]." + std::string(column->jsonKey);
  const GeneralField* field = fieldOfCode(result.code);
  return field != nullptr ? "general." + field->jsonKey : std::string("general");
}

// Fills the form from `image`, types the document's texts into it and reads it back.
FormResult throughForm(OfflineConfig& config, const ConfigImage& image, Typed& typed) {
  config.image() = image;
  Form& form = config.form();
  form.fillForm();
  for (int r = 0; r < kRowCount; ++r)
    if (image.active(r)) form.addressText(r) = typed.rows[static_cast<std::size_t>(r)];
  for (const GeneralField& f : generalFields())
    if (f.isEdit()) config.controls().setText(f.id, typed.of(f));
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
  return texts::jsonPosition(static_cast<long>(line), offset - lineStart + 1);
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
    out.message = texts::jsonInvalid(position(text, e.byte));
    return out;
  } catch (const Json::exception&) {  // a number beyond the range of a double
    out.message = texts::jsonInvalid(std::string(texts::kJsonNumberOutOfRange));
    return out;
  } catch (const TooDeep&) {
    out.message = texts::jsonInvalid(position(text, tooDeepOffset(text) + 1) + texts::jsonTooDeep(kMaxDepth));
    return out;
  }
  // The parser takes a zero byte for the end of the text and ignores what follows it;
  // no JSON text holds one, inside a string or outside.
  if (const std::size_t zero = text.find('\0'); zero != std::string_view::npos) {
    out.message = texts::jsonInvalid(position(text, zero + 1) + std::string(texts::kJsonZeroByte));
    return out;
  }
  if (!watch.firstDuplicate().empty()) {
    out.message = texts::jsonDuplicateKey(watch.firstDuplicate());
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
