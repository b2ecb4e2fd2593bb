#include "ui/qt/qt_control_table.h"

#include <algorithm>

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include "ui/qt/text.h"

namespace trv810::ui {

std::string QtControlTable::text(int id) const {
  QWidget* w = controls_.widget(id);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return toCp1252(edit->text());
  if (auto* label = qobject_cast<QLabel*>(w)) return toCp1252(label->text());
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return toCp1252(button->text());
  if (auto* group = qobject_cast<QGroupBox*>(w)) return toCp1252(group->title());
  if (auto* list = qobject_cast<QComboBox*>(w)) return toCp1252(list->currentText());
  return {};
}

void QtControlTable::setText(int id, std::string_view text) {
  QWidget* w = controls_.widget(id);
  const QString value = fromCp1252(text);
  if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    // A value longer than the edit takes (one read from the unit) shows whole.
    if (const window::ControlSpec* control = controls_.entry(id); control && control->maxLength > 0)
      edit->setMaxLength(std::max(control->maxLength, static_cast<int>(value.size())));
    edit->setText(value);
    edit->setCursorPosition(0);  // a text wider than the edit shows its beginning
  } else if (auto* label = qobject_cast<QLabel*>(w))
    label->setText(value);
  else if (auto* button = qobject_cast<QAbstractButton*>(w))
    button->setText(value);
  else if (auto* group = qobject_cast<QGroupBox*>(w))
    group->setTitle(value);
}

bool QtControlTable::checked(int id) const {
  auto* button = qobject_cast<QAbstractButton*>(controls_.widget(id));
  return button && button->isChecked();
}

void QtControlTable::setChecked(int id, bool checked) {
  if (auto* button = qobject_cast<QAbstractButton*>(controls_.widget(id))) button->setChecked(checked);
}

int QtControlTable::selection(int id) const {
  QWidget* w = controls_.widget(id);
  if (auto* list = qobject_cast<QComboBox*>(w)) return list->currentIndex();
  if (auto* bar = qobject_cast<QScrollBar*>(w)) return bar->value();
  return -1;
}

void QtControlTable::setSelection(int id, int index) {
  QWidget* w = controls_.widget(id);
  if (auto* list = qobject_cast<QComboBox*>(w))
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
  else if (auto* bar = qobject_cast<QScrollBar*>(w))
    setScrollPosition(bar, std::clamp(index, bar->minimum(), bar->maximum()));
}

bool QtControlTable::enabled(int id) const {
  QWidget* w = controls_.widget(id);
  return w && !w->testAttribute(Qt::WA_ForceDisabled);
}

void QtControlTable::setEnabled(int id, bool enabled) {
  if (QWidget* w = controls_.widget(id)) w->setEnabled(enabled);
}

}  // namespace trv810::ui
