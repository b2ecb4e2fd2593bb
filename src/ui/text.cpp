#include "ui/text.h"

#if __has_include("config/cp1252.h")
#include "config/cp1252.h"

namespace trv810::ui {

QString fromCp1252(std::string_view bytes) { return fromUtf8(config::cp1252ToUtf8(bytes)); }

std::string toCp1252(const QString& text) { return config::utf8ToCp1252(toUtf8(text)).bytes; }

bool fitsCp1252(const QString& text) { return config::utf8ToCp1252(toUtf8(text)).complete; }

}  // namespace trv810::ui
#else
// TODO(config): remove this Latin-1 stand-in once config/cp1252.h is delivered.
namespace trv810::ui {

QString fromCp1252(std::string_view bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string toCp1252(const QString& text) { return text.toLatin1().toStdString(); }

bool fitsCp1252(const QString& text) {
  for (QChar c : text)
    if (c.unicode() > 0xFF) return false;
  return true;
}

}  // namespace trv810::ui
#endif
