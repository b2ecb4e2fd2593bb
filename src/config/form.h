#pragma once
// The configuration form: the ConfigImage shown in controls, read back and validated.
//
// The 32 rows are shown eight at a time, rows topRow() to topRow() + 7. Between the
// image and the visible lines stands AddressText, one text record per row, which keeps
// what was typed into rows that are off screen: storeVisibleRows() moves the visible
// lines' texts into it (active rows only), showVisibleRows() shows it again,
// fillForm() replaces it (and the general settings' controls) from the image, and
// readForm() validates it with the general settings and writes them into the image.
// The toggles change the image at the moment of the click.
//
// Everything works on a ControlTable indexed by the ids of config/control_ids.h, so
// the Qt window, the command-line tool and the tests share it. Control texts are
// Windows-1252 bytes.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_image.h"
#include "window/controls.h"
#include "window/layout.h"
#include "window/window_host.h"

namespace trv810::config {

inline constexpr int kMaxTopRow = kRowCount - 8;  // 24
inline constexpr std::size_t kAddressTextChars = 9;
inline constexpr std::size_t kSequenceTextChars = 127;  ///< the manual sequence's edit is read with this many
inline constexpr std::size_t kRowSequenceTextChars = 126;  ///< a row's sequence edit is read with this many
inline constexpr std::size_t kSwitchOnTimeChars = 9;       ///< a switch-on time's edit is read with this many
inline constexpr std::size_t kSecondsChars = 4;            ///< the edits of numbers in seconds, the same
inline constexpr std::size_t kIdentChars = 31;             ///< the ident's edit, the same

/// What the user typed into one row, kept while the row is off screen. [row-column]:
/// a text column's place here, and where storeVisibleRows() and fillForm() fill it.
struct AddressText {
  std::string addressText;    ///< at most 9 digits; empty for address 0
  uint8_t functionIndex = 0;  ///< 0..3 for "A".."D" (an imported value may be larger)
  std::string sequenceText;   ///< at most 127 characters
  friend bool operator==(const AddressText&, const AddressText&) = default;
};

/// Everything the user can change in the form: the rows' texts, the image's bits that
/// the toggles set, and the general settings' controls. Two states compare equal when
/// the form shows the same configuration.
struct FormState {
  std::array<AddressText, kRowCount> rows{};
  std::vector<uint8_t> bits;          ///< per row: active, siren, K3..K10; then the flags
  std::vector<std::string> general;   ///< texts of the general edits
  int baudRate = -1;
  friend bool operator==(const FormState&, const FormState&) = default;
};

/// readForm's result: code 0 (valid) to 15, and for codes 1 and 2 the row 1 to 32.
/// Codes from 3 on are the general fields' (GeneralField::code).
struct FormResult {
  enum Code {
    kValid = 0,
    kAddressError = 1,
    kSequenceError = 2,
  };
  int code = kValid;
  int row = 0;
  bool ok() const { return code == kValid; }
  friend bool operator==(const FormResult&, const FormResult&) = default;
};

/// The message of a failed readForm (UTF-8), e.g. "Adress-Fehler bei Adresse 3";
/// empty for code 0.
std::string formResultMessage(FormResult result);

/// What the field of a failed readForm admits, as a line to show under its message
/// (UTF-8), e.g. "Erlaubt sind Adressen von 8 bis 2047993."; empty for code 0.
std::string formResultHint(FormResult result);

/// Shows the message of a failed readForm with the line of what is allowed under it
/// (caption "TRV810 Konfiguration", error icon). True, showing nothing, when the form
/// was valid.
bool reportFormResult(window::WindowHost& host, FormResult result);

/// Why `edit` refuses a paste that would make `utf8` its whole text, as a line for a
/// status line (UTF-8): the reason, then `allowed` (what the field admits). Empty when
/// the edit takes it.
std::string pasteRefusal(const window::ControlSpec& edit, std::string_view utf8, std::string_view allowed = {});

/// The first `n` characters of a control's text, as a fixed buffer takes them: a zero
/// character ends the text early.
std::string firstChars(std::string_view text, std::size_t n);

/// An address as its edit shows it: seven digits with leading zeros (all ten of a
/// larger stored value); empty for 0.
std::string addressDigits(uint32_t address);

/// Whether a sequence slot was never filled: its first `zeroBytes` are zero, as in a
/// cleared image. Such a slot shows as an empty field.
bool sequenceNeverFilled(ConstSequenceSlot slot, std::size_t zeroBytes);
/// The zero bytes that mark the manual slot as never filled (a row's: its 18 code bytes).
inline constexpr std::size_t kManualSequenceEmptyBytes = 9;

/// The ident as its edit shows it: the bytes before the first zero.
std::string identShown(std::span<const uint8_t, kIdentSize> ident);

/// Makes the list controls of a MemoryControlTable as long as the form's lists.
void defineFormLists(window::MemoryControlTable& controls);

/// The positional decimal value of a digits-only text of at most 9 characters; nothing
/// when it is empty, longer or holds a character other than a digit.
std::optional<uint32_t> decimalValue(std::string_view text);

struct GeneralField;
struct RowColumn;

class Form {
 public:
  /// The form keeps references to both; they must outlive it.
  Form(ConfigImage& image, window::ControlTable& controls);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  /// The state of a newly created window: AddressText cleared, top row 0, rows 1 to 8
  /// numbered, every function list on "A", the baud list on "1200", edits empty,
  /// toggles unchecked, and of each line only the active toggle enabled.
  void reset();

  int topRow() const { return topRow_; }
  const AddressText& addressText(int row) const { return rows_[static_cast<std::size_t>(row) % kRowCount]; }
  AddressText& addressText(int row) { return rows_[static_cast<std::size_t>(row) % kRowCount]; }
  ConfigImage& image() { return image_; }
  window::ControlTable& controls() { return controls_; }

  /// Copies the visible lines of active rows into AddressText.
  void storeVisibleRows();
  /// Shows rows topRow() to topRow() + 7 from AddressText and the image's bits.
  void showVisibleRows();
  /// Replaces AddressText and the general settings' controls from the image; the
  /// visible lines change only with the next showVisibleRows().
  void fillForm();
  /// Validates AddressText and the general settings in a fixed order and writes them
  /// into the image; stops at the first error. Run storeVisibleRows() first.
  FormResult readForm();
  /// After an import: top row 0, fillForm(), showVisibleRows().
  void showImportedImage();
  /// What the form shows now (the visible rows stored first).
  FormState state();
  /// Brings the field that `result` names into view (its row scrolled to the top when
  /// it is off screen) and returns its control id; -1 for a valid result.
  int revealField(FormResult result);

  /// Whether `id` is a toggle: a row's active, siren or relay toggle, or a relay of
  /// the manual trigger.
  static bool isToggle(int id);
  /// Handles a click on any toggle id; false for ids that are not toggles.
  bool onToggle(int id);
  void toggleActive(int line);
  void toggleSiren(int line);
  void toggleRelay(int j, int line);
  void toggleManualRelay(int j);

  /// Moving the visible lines: each stores the visible rows, moves the top row (kept
  /// within 0 to 24) and shows the rows again.
  void lineUp();
  void lineDown();
  void moveTo(int topRow);

 private:
  int rowOf(int line) const { return topRow_ + line; }
  bool flip(int id);
  /// Shows row `r` on visible line `line`: its texts and the toggles of `bits`.
  void showRow(int line, int r, const ConfigImage& bits);
  bool readCell(const RowColumn& column, int r);
  int readGeneral();
  bool readField(const GeneralField& field);

  ConfigImage& image_;
  window::ControlTable& controls_;
  std::array<AddressText, kRowCount> rows_{};
  int topRow_ = 0;
};

}  // namespace trv810::config
