#pragma once
// The configuration's general fields, one row each: where the form shows it, where the
// image keeps it, how it is read and checked, and its words. Form filling, reading and
// checking, the window's edit widths, the JSON document, `show` and `diff` all walk
// this table, so a new field is one row here. What cannot read the table (the image's
// byte offsets, the simulator's sample) carries the tag [general-field].
//
// The rows stand in the order of the form's checks; a row's error code is the result
// code of its check, rising with that order. The JSON document and the tab order put
// the fields of the top line (baud rate and ident) first and keep the others' order.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "config/config_image.h"
#include "window/controls.h"

namespace trv810::config {

enum class FieldKind {
  BaudRate,      ///< the list "512", "1200": bit kFlagBaud1200 of the flags
  Number,        ///< a digits-only edit: an unsigned 16-bit word of the image
  Sequence,      ///< the manual signal sequence's edit
  Text,          ///< the ident's edit
  ManualRelays,  ///< the eight toggles K3 to K10: bits 8 to 15 of the flags
  ReservedFlags, ///< bits 1 to 7 of the flags: no control shows them, JSON carries them
};

/// Where a number's label, edit and unit stand, in whole character cells.
struct FieldPlace {
  int labelX = 0;
  int labelWidth = 0;
  int editX = 0;
  int y = 0;
};

struct GeneralField {
  FieldKind kind = FieldKind::Number;
  int id = -1;                 ///< control id; the first toggle's for ManualRelays; -1 for none
  std::size_t offset = 0;      ///< a number's byte offset in the image
  std::size_t chars = 0;       ///< characters read from the edit
  uint32_t min = 0;            ///< a number's smallest allowed value
  uint32_t max = 0;            ///< a number's largest allowed value; the ident's most bytes
  int code = 0;                ///< FormResult code of a failed check; 0 for a field without one
  std::string label;           ///< in the window and in `show`
  std::string error;           ///< the message of a failed check
  std::string_view hint;       ///< what the field admits, the line under the message
  std::string jsonKey;         ///< the path below "general", e.g. "switchOnTimes.K3"
  std::string_view unit;       ///< after a number, in the window and in `show`
  FieldPlace place;            ///< a number's cells in the window
  bool topLine = false;        ///< on the group's top line: first in tab order and in JSON

  /// The widest value a number shows, its largest allowed one.
  std::string widest() const { return std::to_string(max); }
  /// Whether the field is an edit whose text the form reads.
  bool isEdit() const { return kind == FieldKind::Number || kind == FieldKind::Sequence || kind == FieldKind::Text; }
};

/// Every general field, in the order of the form's checks.
std::span<const GeneralField> generalFields();

/// The fields in tab and document order: the top line first, the others as in the table.
std::span<const GeneralField* const> fieldsInDocumentOrder();

/// The field whose check fails with `code`, or whose control is `id`; null for none.
const GeneralField* fieldOfCode(int code);
const GeneralField* fieldOfId(int id);

/// What `field` shows in `controls`, in Windows-1252: an edit's text, the list's
/// entry, the names of the checked relays ("K3 K5"); empty for the reserved flags.
std::string fieldText(const GeneralField& field, const window::ControlTable& controls);

/// Entries of the baud-rate list; the selection is the state of kFlagBaud1200.
inline constexpr std::string_view kBaudRateEntries[] = {"512", "1200"};

/// Bits 1 to 7 of the flags.
inline constexpr uint16_t kReservedFlags = 0x00FE;

}  // namespace trv810::config
