#include "config/general_fields.h"

#include <gtest/gtest.h>

#include <string>

#include "config/config_file.h"
#include "config/config_json.h"
#include "config/control_ids.h"
#include "config/offline_config.h"
#include "form_fixture.h"

using namespace trv810::config;
using trv810::testing::FormFixture;

namespace {

// A value each field takes, different from every other field's, so that two fields
// sharing an offset, a control or a key show up as a wrong value.
std::string distinctValue(const GeneralField& f, int index) {
  switch (f.kind) {
    case FieldKind::Number: return std::to_string(f.max - static_cast<uint32_t>(index));
    case FieldKind::Sequence: return "ON05,OFF10,H0512,R03";
    case FieldKind::Text: return "Wache \xC4" "ngelholm2";  // 16 bytes, one of them beyond ASCII
    default: return {};
  }
}

// Every checked field valid, each with its distinct value; 512 baud, K4 and K10 on the
// manual trigger.
void fillDistinct(FormFixture& f) {
  int index = 0;
  for (const GeneralField& field : generalFields()) {
    if (field.isEdit()) f.controls.setText(field.id, distinctValue(field, index));
    if (field.kind == FieldKind::BaudRate) f.controls.setSelection(field.id, 0);
    ++index;
  }
  f.form.toggleManualRelay(1);
  f.form.toggleManualRelay(7);
}

std::string jsonValue(const std::vector<JsonField>& fields, const std::string& path) {
  for (const JsonField& field : fields)
    if (field.path == path) return field.value;
  return "(missing " + path + ")";
}

}  // namespace

// Each general field goes form -> image -> .kfg -> JSON -> image -> the form `show` reads,
// and comes back as it was typed.
TEST(GeneralFields, EveryFieldRoundTripsThroughFileAndJson) {
  FormFixture typed;
  fillDistinct(typed);
  ASSERT_TRUE(typed.form.readForm().ok());

  const ConfigFileBytes file = buildConfigFile(typed.image);
  ConfigImage fromFile;
  ASSERT_EQ(loadConfigFileBytes(file, fromFile, [] { return false; }), LoadStatus::Loaded);
  EXPECT_EQ(fromFile, typed.image);

  const JsonImport imported = importJson(exportJson(fromFile, kCurrentFormat));
  ASSERT_TRUE(imported.ok()) << imported.error();
  EXPECT_EQ(imported.image, typed.image);

  OfflineConfig shown;
  shown.image() = imported.image;
  shown.form().fillForm();
  const std::vector<JsonField> json = jsonFields(imported.image, kCurrentFormat);
  int index = 0;
  for (const GeneralField& f : generalFields()) {
    const std::string path = "general." + f.jsonKey;
    if (f.kind == FieldKind::Number) {
      const std::string value = distinctValue(f, index);
      EXPECT_EQ(imported.image.word(f.offset), std::stoul(value)) << path;
      EXPECT_EQ(jsonValue(json, path), value);
    }
    if (f.isEdit()) {
      EXPECT_EQ(fieldText(f, shown.controls()), distinctValue(f, index)) << path;
    }
    ++index;
  }
  EXPECT_EQ(jsonValue(json, "general.baudRate"), "512");
  EXPECT_EQ(fieldText(*fieldOfId(ids::kBaudRate), shown.controls()), "512");
  EXPECT_EQ(fieldText(*fieldOfId(ids::manualRelay(0)), shown.controls()), "K4 K10");
}

// The checks run in the table's order, each failing with its own code and pointing at
// its own control; a number's range edges are taken, one beyond them refused, by the
// form and by a JSON import alike.
TEST(GeneralFields, ChecksRunInOrderAndRefuseOneBeyondEachEdge) {
  FormFixture f;
  f.controls.setSelection(ids::kBaudRate, -1);
  f.controls.setText(ids::kManualSequence, "ON61");
  f.controls.setText(ids::kIdent, std::string(17, 'x'));
  int index = 0;
  int lastCode = 0;
  for (const GeneralField& field : generalFields()) {
    if (field.code != 0) {
      EXPECT_GT(field.code, lastCode) << field.jsonKey;
      lastCode = field.code;
      const FormResult result = f.form.readForm();
      EXPECT_EQ(result.code, field.code) << field.jsonKey;
      EXPECT_EQ(formResultMessage(result), field.error);
      EXPECT_EQ(f.form.revealField(result), field.id);
    }
    if (field.isEdit()) f.controls.setText(field.id, distinctValue(field, index));
    if (field.kind == FieldKind::BaudRate) f.controls.setSelection(field.id, 1);
    ++index;
  }
  ASSERT_TRUE(f.form.readForm().ok());

  const std::string json = exportJson(f.image, kCurrentFormat);
  index = 0;
  for (const GeneralField& field : generalFields()) {
    const std::string typed = distinctValue(field, index++);
    if (field.kind != FieldKind::Number) continue;
    for (uint32_t edge : {field.min, field.max}) {
      f.controls.setText(field.id, std::to_string(edge));
      ASSERT_TRUE(f.form.readForm().ok()) << field.jsonKey << " " << edge;
      EXPECT_EQ(f.image.word(field.offset), edge);
    }
    for (const std::string& beyond : {std::to_string(field.min - 1), std::to_string(field.max + 1), std::string()}) {
      f.controls.setText(field.id, beyond);
      EXPECT_EQ(f.form.readForm().code, field.code) << field.jsonKey << " " << beyond;
    }
    f.controls.setText(field.id, typed);

    const std::string key = field.jsonKey.substr(field.jsonKey.find('.') + 1);
    std::string changed = json;
    const std::string from = "\"" + key + "\": " + typed;
    ASSERT_NE(changed.find(from), std::string::npos) << from;
    changed.replace(changed.find(from), from.size(), "\"" + key + "\": " + std::to_string(field.max + 1));
    EXPECT_EQ(importJson(changed).error(), "general." + field.jsonKey + ": " + field.error);
  }
}
