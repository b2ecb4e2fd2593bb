#include "config/general_fields.h"

#include <algorithm>
#include <vector>

#include "config/control_ids.h"
#include "config/form.h"
#include "config/texts.h"

namespace trv810::config {
namespace {

// A row with the words every checked field has; the rest is set by its maker.
GeneralField row(FieldKind kind, int id, int code, std::string_view label, std::string error, std::string_view hint,
                 std::string jsonKey) {
  GeneralField f;
  f.kind = kind;
  f.id = id;
  f.code = code;
  f.label = std::string(label);
  f.error = std::move(error);
  f.hint = hint;
  f.jsonKey = std::move(jsonKey);
  return f;
}

// A number in seconds, its 16 bits at `offset` of the image.
GeneralField seconds(GeneralField f, std::size_t offset, std::size_t chars, uint32_t max, FieldPlace place) {
  f.offset = offset;
  f.chars = chars;
  f.min = 1;
  f.max = max;
  f.unit = texts::kSecondsUnit;
  f.place = place;
  return f;
}

std::vector<GeneralField> makeFields() {
  std::vector<GeneralField> fields;
  GeneralField baud = row(FieldKind::BaudRate, ids::kBaudRate, 3, texts::kBaudRateLabel,
                          std::string(texts::kNoBaudRate), texts::kBaudRateHint, "baudRate");
  baud.topLine = true;
  fields.push_back(baud);
  // Two columns of four, K3 to K6 and K7 to K10.
  for (int j = 0; j < kRelayCount; ++j) {
    const std::string relay = std::to_string(j + 3);
    const int column = 25 * (j / 4);
    fields.push_back(seconds(row(FieldKind::Number, ids::switchOnTime(j), 4 + j,
                                 std::string(texts::kSwitchOnTimeLabel) + relay,
                                 std::string(texts::kSwitchOnTimeError) + relay, texts::kSwitchOnTimeHint,
                                 "switchOnTimes.K" + relay),
                             ConfigImage::kSwitchOnOffset + 2 * static_cast<std::size_t>(j), kSwitchOnTimeChars,
                             65000, {2 + column, 15, 18 + column, 25 + 2 * (j % 4)}));
  }
  GeneralField manual = row(FieldKind::Sequence, ids::kManualSequence, 12, texts::kManualSequenceLabel,
                            std::string(texts::kManualSequenceError), texts::kSequenceHint, "manualSequence");
  manual.chars = kSequenceTextChars;
  fields.push_back(manual);
  fields.push_back(row(FieldKind::ManualRelays, ids::manualRelay(0), 0, texts::kManualRelaysLabel, {}, {},
                       "manualRelays"));
  fields.push_back(seconds(row(FieldKind::Number, ids::kDeadTime, 13, texts::kDeadTimeLabel,
                               std::string(texts::kDeadTimeError), texts::kSecondsHint, "deadTime"),
                           ConfigImage::kDeadTimeOffset, kSecondsChars, 254, {2, 7, 10, 36}));
  fields.push_back(seconds(row(FieldKind::Number, ids::kAlarmInterval, 14, texts::kAlarmIntervalLabel,
                               std::string(texts::kAlarmIntervalError), texts::kSecondsHint, "alarmInterval"),
                           ConfigImage::kAlarmIntervalOffset, kSecondsChars, 254, {20, 14, 35, 36}));
  GeneralField ident = row(FieldKind::Text, ids::kIdent, 15, texts::kIdentLabel, std::string(texts::kIdentError),
                           texts::kIdentHint, "ident");
  ident.chars = kIdentChars;
  ident.max = kIdentSize;
  ident.topLine = true;
  fields.push_back(ident);
  fields.push_back(row(FieldKind::ReservedFlags, -1, 0, {}, {}, {}, "reservedFlags"));
  return fields;
}

std::vector<const GeneralField*> makeDocumentOrder(std::span<const GeneralField> fields) {
  std::vector<const GeneralField*> order;
  for (const GeneralField& f : fields) order.push_back(&f);
  std::ranges::stable_partition(order, [](const GeneralField* f) { return f->topLine; });
  return order;
}

}  // namespace

std::span<const GeneralField> generalFields() {
  static const std::vector<GeneralField> fields = makeFields();
  return fields;
}

std::span<const GeneralField* const> fieldsInDocumentOrder() {
  static const std::vector<const GeneralField*> order = makeDocumentOrder(generalFields());
  return order;
}

const GeneralField* fieldOfCode(int code) {
  for (const GeneralField& f : generalFields())
    if (f.code != 0 && f.code == code) return &f;
  return nullptr;
}

const GeneralField* fieldOfId(int id) {
  for (const GeneralField& f : generalFields())
    if (f.id >= 0 && f.id == id) return &f;
  return nullptr;
}

std::string fieldText(const GeneralField& field, const window::ControlTable& controls) {
  switch (field.kind) {
    case FieldKind::BaudRate: return std::string(kBaudRateEntries[controls.selection(field.id) == 1 ? 1 : 0]);
    case FieldKind::ManualRelays: {
      std::string relays;
      for (int j = 0; j < kRelayCount; ++j) {
        if (!controls.checked(field.id + j)) continue;
        if (!relays.empty()) relays += ' ';
        relays += kRelayNames[j];
      }
      return relays;
    }
    case FieldKind::ReservedFlags: return {};
    default: return controls.text(field.id);
  }
}

}  // namespace trv810::config
