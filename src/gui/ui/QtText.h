#pragma once

#include <QString>

#include <string>

namespace vantor::gui {

// The engine speaks cp1252, Qt speaks UTF-16; every text crosses here.
QString fromCp1252(const std::string &text);
std::string toCp1252(const QString &text);

} // namespace vantor::gui
