#pragma once
// Texts at the toolkit's edge: the program's own texts are UTF-8, the unit's texts
// in the control tables are Windows-1252 bytes; Qt holds both as QString.

#include <QString>
#include <string>
#include <string_view>

namespace trv810::ui {

inline QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string toUtf8(const QString& text) { return text.toUtf8().toStdString(); }

/// The QString of Windows-1252 bytes.
QString fromCp1252(std::string_view bytes);
/// The Windows-1252 bytes of `text`; characters without a byte become '?'.
std::string toCp1252(const QString& text);
/// Whether every character of `text` has a Windows-1252 byte.
bool fitsCp1252(const QString& text);

}  // namespace trv810::ui
