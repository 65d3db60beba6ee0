#pragma once

namespace vantor::gui {

// Qt's own texts - the context menus of the text fields, the file dialog,
// the buttons of its standard boxes - in German, from Qt's translation when
// it is installed. False when it is not; the texts the user acts on are set
// in German by the dialogs themselves either way.
bool installGermanQtTexts();

} // namespace vantor::gui
