#include "ui/qt/cell_metrics.h"

#include <algorithm>

#include <QFontDatabase>
#include <QFontMetrics>

namespace trv810::ui {

window::CellSize measureCell(const QFont& font) {
  const QFontMetrics metrics(font);
  // Qt reports a negative leading for fonts whose lines overlap; external leading is
  // never less than zero.
  return {metrics.averageCharWidth(), metrics.height() + std::max(0, metrics.leading())};
}

window::CellSize measureSystemCell() {
  return measureCell(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

window::CellSize measureDialogBase(const QFont& font) {
  const QFontMetrics metrics(font);
  const int letters = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return {(letters / 26 + 1) / 2, metrics.height()};
}

}  // namespace trv810::ui
