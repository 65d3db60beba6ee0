#include "ui/QtText.h"

#include "platform/Text.h"

namespace vantor::gui {

QString fromCp1252(const std::string &text)
{
    return QString::fromStdString(vantor::toUtf8(text));
}

std::string toCp1252(const QString &text)
{
    return vantor::toCp1252(text.toStdString());
}

} // namespace vantor::gui
