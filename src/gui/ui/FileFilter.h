#pragma once

#include <QString>

#include <string>

namespace vantor::gui {

// Turns a filter list of the "text|patterns|text|patterns||" form the engine
// keeps (cp1252) into the one Qt's file dialog takes. Every text stays as
// the user always saw it; its patterns follow in parentheses the way Qt
// reads them, blank-separated, "*.*" as "*" so that "Alle Dateien" lists
// names without a dot too. askOpenFileName and askSaveFileName show only the
// texts.
QString qtFileFilter(const std::string &filterList);

} // namespace vantor::gui
