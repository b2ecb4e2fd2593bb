#include "ui/qt/text.h"

#include "config/cp1252.h"

namespace trv810::ui {

QString fromCp1252(std::string_view bytes) { return fromUtf8(config::cp1252ToUtf8(bytes)); }

std::string toCp1252(const QString& text) { return config::utf8ToCp1252(toUtf8(text)).bytes; }

bool fitsCp1252(const QString& text) { return config::utf8ToCp1252(toUtf8(text)).complete; }

}  // namespace trv810::ui
