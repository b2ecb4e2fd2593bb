#pragma once
// What an edit admits: digits only, characters of Windows-1252 only. Input that breaks
// a rule is refused as a whole, as typed or pasted. How many characters an edit takes
// is its maximum length, counted in characters whatever their width.

#include <QValidator>

class QLineEdit;

namespace trv810::ui {

class EditValidator : public QValidator {
 public:
  struct Rules {
    bool digitsOnly = false;
    bool windows1252Only = false;
  };

  /// Validates for `edit`, which owns the validator.
  EditValidator(QLineEdit* edit, Rules rules);

  State validate(QString& input, int& position) const override;

  /// The width in pixels `edit` has for its text.
  static int textWidth(const QLineEdit* edit);

 private:
  Rules rules_;
};

}  // namespace trv810::ui
