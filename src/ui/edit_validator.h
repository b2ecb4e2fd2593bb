#pragma once
// What an edit admits: digits only, characters of Windows-1252 only, and (for an
// edit that does not scroll horizontally) no more text than fits its width. Input
// that breaks a rule is refused as a whole, as typed or pasted.

#include <QValidator>

class QLineEdit;

namespace trv810::ui {

class EditValidator : public QValidator {
 public:
  struct Rules {
    bool digitsOnly = false;
    bool windows1252Only = false;
    bool fitWidth = false;
  };

  /// Validates for `edit`, which owns the validator.
  EditValidator(QLineEdit* edit, Rules rules);

  State validate(QString& input, int& position) const override;

  /// The width in pixels `edit` has for its text.
  static int textWidth(const QLineEdit* edit);

 private:
  QLineEdit* edit_;
  Rules rules_;
};

}  // namespace trv810::ui
