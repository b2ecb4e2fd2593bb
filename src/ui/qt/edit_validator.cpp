#include "ui/qt/edit_validator.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

#include "ui/qt/text.h"

namespace trv810::ui {

namespace {
// QLineEdit keeps this many pixels free on each side of its text.
constexpr int kLineEditMargin = 2;
}  // namespace

EditValidator::EditValidator(QLineEdit* edit, Rules rules) : QValidator(edit), rules_(rules) {}

int EditValidator::textWidth(const QLineEdit* edit) {
  QStyleOptionFrame option;
  option.initFrom(edit);
  option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
  option.midLineWidth = 0;
  option.state |= QStyle::State_Sunken;
  option.features = QStyleOptionFrame::None;
  const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
  const QMargins margins = edit->textMargins();
  return contents.width() - margins.left() - margins.right() - 2 * kLineEditMargin;
}

QValidator::State EditValidator::validate(QString& input, int&) const {
  if (rules_.digitsOnly) {
    for (QChar c : input)
      if (c < u'0' || c > u'9') return Invalid;
  }
  if (rules_.windows1252Only && !fitsCp1252(input)) return Invalid;
  return Acceptable;
}

}  // namespace trv810::ui
