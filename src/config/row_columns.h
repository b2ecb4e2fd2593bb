#pragma once
// The columns of the configuration's 32 rows, one entry each: which controls of a
// visible line show it, how its text is read and checked, and its key in a row of the
// JSON document. Showing the lines, the form's checks and their messages, the toggles,
// the window's tab order and edit widths, and the JSON document with its error paths
// walk this table. What cannot read it (the image's masks and arrays, the controls'
// places in the window, the form's text records, `show`'s line, the JSON reader's
// rules between columns) carries the tag [row-column].
//
// The columns stand in the order of a line's controls in tab order and of a row's
// keys in the JSON document. The checks run column by column in that order (every
// row's address, then every row's sequence), each over the rows 1 to 32; a checked
// column's code rises with it.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string_view>

#include "config/config_image.h"
#include "config/control_ids.h"
#include "config/form.h"
#include "config/texts.h"

namespace trv810::config {

enum class ColumnKind {
  Active,    ///< toggle: the row's bit of the active mask
  Address,   ///< digits-only edit: the row's address
  Function,  ///< list "A" to "D": the row's function index
  Siren,     ///< toggle: the row's bit of the siren mask
  Sequence,  ///< edit: the row's signal sequence
  Relays,    ///< eight toggles K3 to K10: the row's bit of each relay mask
};

struct RowColumn {
  ColumnKind kind = ColumnKind::Active;
  int id = -1;                 ///< control on visible line 0; K3's for the relays
  int stride = 1;              ///< between the controls of two visible lines
  std::size_t chars = 0;       ///< characters an edit is read with
  uint32_t min = 0;            ///< an address's smallest allowed value
  uint32_t max = 0;            ///< an address's largest allowed value
  int code = 0;                ///< FormResult code of a failed check; 0 for a column without one
  std::string_view error{};    ///< the message of a failed check, before the row ("Adresse 3")
  std::string_view hint{};     ///< what the column admits, the line under the message
  std::string_view jsonKey{};  ///< its key in a row of the JSON document

  /// Controls on one line: the eight relays, one block of lines apart, or one.
  constexpr int controls() const { return kind == ColumnKind::Relays ? kRelayCount : 1; }
  /// The control on visible line `line`; for the relays, that of K(3+j).
  constexpr int idOf(int line, int j = 0) const { return id + stride * line + ids::kVisibleLines * j; }
  constexpr bool isToggle() const {
    return kind == ColumnKind::Active || kind == ColumnKind::Siren || kind == ColumnKind::Relays;
  }
  /// Whether its controls take input on the line of a row: the active toggle always,
  /// the sequence when the row is active and has its siren relay, the others when the
  /// row is active.
  constexpr bool enabled(bool active, bool siren) const {
    return kind == ColumnKind::Active || (active && (kind != ColumnKind::Sequence || siren));
  }
};

/// Every column of a row, in the order of ColumnKind.
inline constexpr RowColumn kRowColumns[] = {
    {.kind = ColumnKind::Active, .id = ids::kActive, .jsonKey = "active"},
    {.kind = ColumnKind::Address, .id = ids::kAddress, .stride = 2, .chars = kAddressTextChars, .min = 8,
     .max = 2047993, .code = FormResult::kAddressError, .error = texts::kAddressError, .hint = texts::kAddressHint,
     .jsonKey = "address"},
    {.kind = ColumnKind::Function, .id = ids::kFunction, .stride = 2, .jsonKey = "function"},
    {.kind = ColumnKind::Siren, .id = ids::kSiren, .jsonKey = "siren"},
    {.kind = ColumnKind::Sequence, .id = ids::kSequence, .chars = kRowSequenceTextChars,
     .code = FormResult::kSequenceError, .error = texts::kSequenceError, .hint = texts::kSequenceHint,
     .jsonKey = "sequence"},
    {.kind = ColumnKind::Relays, .id = ids::kRelay, .jsonKey = "relays"},
};

static_assert([] {
  for (std::size_t i = 0; i < std::size(kRowColumns); ++i)
    if (kRowColumns[i].kind != static_cast<ColumnKind>(i)) return false;
  return true;
}());

/// The column of `kind`.
constexpr const RowColumn& rowColumn(ColumnKind kind) { return kRowColumns[static_cast<std::size_t>(kind)]; }

/// The entries of a row's function list; a function index is a place in it.
inline constexpr std::string_view kFunctionLetters[] = {"A", "B", "C", "D"};
static_assert(std::size(kFunctionLetters) == ids::kFunctionEntries);

/// A control of the rows: its column, its visible line and, of the relays, which one.
struct RowCell {
  const RowColumn* column = nullptr;
  int line = 0;
  int relay = 0;
};

/// The cell that control `id` shows; no column for an id outside the rows' columns.
constexpr RowCell rowCellOf(int id) {
  for (const RowColumn& c : kRowColumns)
    for (int k = 0; k < ids::kVisibleLines; ++k)
      for (int j = 0; j < c.controls(); ++j)
        if (c.idOf(k, j) == id) return {&c, k, j};
  return {};
}

/// The column whose check fails with `code`; null for none.
constexpr const RowColumn* rowColumnOfCode(int code) {
  for (const RowColumn& c : kRowColumns)
    if (c.code != 0 && c.code == code) return &c;
  return nullptr;
}

/// Whether toggle column `kind` (for the relays, K(3+j)) is on in `row` of `image`.
inline bool toggleOn(const ConfigImage& image, ColumnKind kind, int row, int j = 0) {
  switch (kind) {
    case ColumnKind::Active: return image.active(row);
    case ColumnKind::Siren: return image.siren(row);
    case ColumnKind::Relays: return image.relayOn(j, row);
    default: return false;
  }
}

}  // namespace trv810::config
