#include "ui/Ui.h"

#include "platform/Text.h"
#include "ui/StreamUi.h"

#include <cstdlib>
#include <iostream>

namespace vantor {

namespace {
Ui *g_ui = nullptr;
} // namespace

Ui &currentUi()
{
    if (g_ui)
        return *g_ui;
    static StreamUi fallback(std::cerr, std::cin, false);
    return fallback;
}

void setCurrentUi(Ui *ui) { g_ui = ui; }

void reportOutOfMemory()
{
    currentUi().systemError(de("Fehler Code 2007"),
                            de("Nicht genügend Speicher vorhanden! Das Programm wird beendet. Bitte schließen Sie "
                               "andere Programme oder erhöhen Sie den virtuellen Speicher Ihres Systems und starten "
                               "Sie Vantor!! erneut."));
}

void outOfMemoryExit()
{
    reportOutOfMemory();
    std::exit(1);
}

} // namespace vantor
