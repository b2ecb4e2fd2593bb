// trv810ctl export, import and diff, run as processes on files made here.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "config/signal_sequence.h"
#include "ctl_process.h"
#include "support/temp_dir.h"

using namespace trv810::config;
using trv810::tests::TempDir;

namespace {

using trv810::tests::Outcome;
using trv810::tests::trv810ctl;

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// `text` with the first `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// Rows 1 and 3 active, row 1 with the siren relay; valid general settings.
ConfigImage validImage() {
  ConfigImage image;
  image.setAddress(0, 1234);
  image.setAddress(2, 2047993);
  image.setActiveMask(0b101);
  image.setSiren(0, true);
  parseSignalSequence("ON05,OFF10", image.sequence(0));
  image.setRelayOn(0, 2, true);
  for (int j = 0; j < kRelayCount; ++j) image.setSwitchOnTime(j, 30);
  parseSignalSequence("ON05", image.manualSequence());
  image.setDeadTime(5);
  image.setAlarmInterval(10);
  image.setFlags(0x0101);
  return image;
}

}  // namespace

TEST(CliJson, ImportRefusesEachFaultWithItsFieldAndLeavesTheTargetAlone) {
  TempDir dir;
  const std::string kfg = dir.write("a.kfg", buildConfigFile(validImage()));
  ASSERT_EQ(trv810ctl("export " + kfg + " -o " + dir.file("a.json")).status, 0);
  const std::string json = readText(dir.file("a.json"));
  const std::string target = dir.file("out.kfg");
  const std::string before = "old contents";
  struct Case {
    std::string json, message;
  };
  const std::string addressError =
      "rows[0].address: Adress-Fehler bei Adresse 1\nErlaubt sind Adressen von 8 bis 2047993 (nur Ziffern).\n";
  const Case cases[] = {
      {replaced(json, "\"format\": 3,", "\"format\": 3,,"), "kein gültiges JSON (Zeile 2, Spalte 15)\n"},
      {replaced(json, "\"active\": true", "\"active\": 1"), "rows[0].active: erwartet true oder false\n"},
      {replaced(json, "\"deadTime\": 5,\n", ""), "general.deadTime: Feld fehlt\n"},
      {replaced(json, "\"siren\": true,", "\"siren\": true, \"colour\": \"rot\","), "rows[0].colour: unbekanntes Feld\n"},
      {replaced(json, "\"siren\": true,", "\"siren\": true, \"siren\": false,"),
       "Feld \"siren\" doppelt in einem Objekt\n"},
      {replaced(json, "\"function\": \"A\"", "\"function\": \"E\""),
       "rows[0].function: erwartet \"A\", \"B\", \"C\" oder \"D\"\n"},
      {replaced(json, "\"baudRate\": 1200", "\"baudRate\": 9600"), "general.baudRate: erwartet 512 oder 1200\n"},
      // The form's checks, each with its message and what the field admits.
      {replaced(json, "\"2047993\"", "\"2047994\""),
       "rows[2].address: Adress-Fehler bei Adresse 3\nErlaubt sind Adressen von 8 bis 2047993 (nur Ziffern).\n"},
      {replaced(json, "\"ON05,OFF10\"", "\"ON61\""), "rows[0].sequence: Syntaxfehler der Signalfolge bei Adresse 1\n"},
      {replaced(json, "\"K5\": 30", "\"K5\": 0"), "general.switchOnTimes.K5: Fehler: Einschaltzeit K5\n"},
      {replaced(json, "\"manualSequence\": \"ON05\"", "\"manualSequence\": null"),
       "general.manualSequence: Syntaxfehler der Signalfolge Handauslösung\n"},
      {replaced(json, "\"deadTime\": 5", "\"deadTime\": 255"), "general.deadTime: Fehler: Totzeit\n"},
      {replaced(json, "\"alarmInterval\": 10", "\"alarmInterval\": -10"), "general.alarmInterval: Fehler: Alarmabstand\n"},
      {replaced(json, "\"ident\": \"\"", "\"ident\": \"Überlandleitung 7\""),
       "general.ident: Fehler: Ident-Nr.\nErlaubt sind höchstens 16 Zeichen.\n"},
      {replaced(json, "\"ident\": \"\"", "\"ident\": \"\xE2\x98\x83\""),
       "general.ident: Zeichen ohne Windows-1252-Code an Byte 0\n"},
      // Nothing is cut: a text longer than its field is its field's error, though its
      // first characters would make a valid value.
      {replaced(json, "\"0001234\"", "\"0012345678\""), addressError},
      {replaced(json, "\"0001234\"", "\"000000008 garbage\""), addressError},
      {replaced(json, "\"ON05,OFF10\"", "\"ON05,OFF10" + std::string(130, ' ') + ",ON61\""),
       "rows[0].sequence: Syntaxfehler der Signalfolge bei Adresse 1\nErlaubt sind ONnn"},
      {replaced(json, "\"manualSequence\": \"ON05\"", "\"manualSequence\": \"ON05" + std::string(1'000'000, ' ') + "\""),
       "general.manualSequence: Syntaxfehler der Signalfolge Handauslösung\nErlaubt sind ONnn"},
      // An active row's function is one of the list's letters; a stored number is not.
      {replaced(json, "\"function\": \"A\"", "\"function\": 7"),
       "rows[0].function: erwartet \"A\", \"B\", \"C\" oder \"D\"\n"},
      // Nesting beyond the document's four levels crashed import (exit 139).
      {"{\"x\":" + std::string(50'000, '[') + std::string(50'000, ']') + ",\"y\":1}",
       "kein gültiges JSON (Zeile 1, Spalte 9: mehr als 4 Ebenen verschachtelt)\n"},
  };
  for (const Case& c : cases) {
    dir.write("out.kfg", before);
    const Outcome run = trv810ctl("import " + dir.write("in.json", c.json) + " " + target);
    EXPECT_EQ(run.status, 1) << c.message;
    EXPECT_EQ(run.out.substr(0, c.message.size()), c.message) << run.out;
    EXPECT_EQ(readText(target), before) << c.message;
  }
  // And the unchanged text makes the file it came from.
  std::filesystem::remove(target);
  EXPECT_EQ(trv810ctl("import " + dir.file("a.json") + " " + target).status, 0);
  EXPECT_EQ(readText(target), readText(kfg));
}

TEST(CliJson, DiffIsEmptyForTheSameConfigurationAndListsExactlyTheChangedFields) {
  TempDir dir;
  const std::string a = dir.write("a.kfg", buildConfigFile(validImage()));
  ASSERT_EQ(trv810ctl("--quiet export " + a + " --output " + dir.file("a.json")).status, 0);
  for (const std::string& other : {a, dir.file("a.json")}) {
    const Outcome same = trv810ctl("diff " + a + " " + other);
    EXPECT_EQ(same.status, 0) << same.out;
    EXPECT_EQ(same.out, "");
  }

  std::string json = readText(dir.file("a.json"));
  json = replaced(json, "\"ON05,OFF10\"", "\"ON10,OFF10\"");
  json = replaced(json, "\"K4\": false", "\"K4\": true");  // row 1's relay K4
  json = replaced(json, "\"alarmInterval\": 10", "\"alarmInterval\": 20");
  const std::string changed = dir.write("b.json", json);
  ASSERT_EQ(trv810ctl("import " + changed + " " + dir.file("b.kfg")).status, 0);
  const std::string expected =
      "rows[0].sequence: ON05,OFF10 -> ON10,OFF10\n"
      "rows[0].relays.K4: false -> true\n"
      "general.alarmInterval: 10 -> 20\n";
  for (const std::string& b : {changed, dir.file("b.kfg")}) {
    const Outcome differs = trv810ctl("diff " + a + " " + b);
    EXPECT_EQ(differs.status, 1);
    EXPECT_EQ(differs.out, expected);
  }

  // Control characters of a text are shown escaped: a file must not steer the terminal.
  const Outcome escaped =
      trv810ctl("diff " + a + " " + dir.write("c.json", replaced(readText(dir.file("a.json")), "\"ident\": \"\"",
                                                                  "\"ident\": \"\\u001b[2J\\u0090\"")));
  EXPECT_EQ(escaped.status, 1);
  EXPECT_EQ(escaped.out, "general.ident: \"\" -> \\x1b[2J\\x90\n");

  // A side that cannot be read gives 2 and is named once, whatever is wrong with it.
  const Outcome deep = trv810ctl("diff " + a + " " + dir.write("deep.json", std::string(100'000, '[')));
  EXPECT_EQ(deep.status, 2) << deep.out;
  const std::string big = dir.write("big.json", std::string((1 << 20) + 1, ' '));
  const Outcome tooBig = trv810ctl("diff " + big + " " + a);
  EXPECT_EQ(tooBig.status, 2);
  EXPECT_EQ(tooBig.out, big + ": größer als 1024 KiB, keine Konfiguration\n");

  const Outcome missing = trv810ctl("diff " + a + " " + dir.file("none.json"));
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.out.rfind(dir.file("none.json") + ": Datei nicht vorhanden !\n", 0), 0u) << missing.out;
  EXPECT_EQ(trv810ctl("diff " + a).status, 2);
}
