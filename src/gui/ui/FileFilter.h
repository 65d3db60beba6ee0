#pragma once

#include <QString>

namespace vantor::gui {

// Turns a filter list of the "text|patterns|text|patterns||" form the file
// dialogs have always been given into the one Qt's file dialog takes. Every
// text stays as the user always saw it; its patterns follow in parentheses
// the way Qt reads them, blank-separated, "*.*" as "*" so that "Alle
// Dateien" lists names without a dot too. askOpenFileName and
// askSaveFileName show only the texts.
QString qtFileFilter(const QString &filterList);

} // namespace vantor::gui
