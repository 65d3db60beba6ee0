#include "optimizer/FindLiteral.h"
#include "optimizer/TemplateCheck.h"

#include "optimizer/PageText.h"
#include "optimizer/RunLog.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "ui/Ui.h"

#include <new>

namespace vantor {

namespace {

const char *const kMarker = "%Suchbegriff%";



void logStackedMarkers(const std::string &text, RunLog &log)
{
    int count = 0;
    countRepeats(kMarker, text, count);
    if (count < 4)
        return;
    const std::string line =
        de("     WARNUNG: In der Vorlage ist ") + std::to_string(count) +
        de(" mal das Element %Suchbegriff% hintereinander enthalten. Dies kann zum Ausschluss von den "
           "Suchmaschinen führen. Bitte überarbeiten Sie die Vorlage (siehe Hilfe unter \"Erstellen einer "
           "Vorlage\")!");
    // Seven and more in a row is what gets a site thrown out, so it counts
    // as an error although it keeps the word.
    log.logLine(line, count >= 7 ? LineKind::Error : LineKind::Warning);
}

struct ElementCheck {
    const char *element;
    const char *error;
    const char *todo;
};

const ElementCheck kElementChecks[] = {
    {"<HEAD", "     FEHLER: Die Vorlage enthält kein Element <HEAD>",
     "Fügen Sie das Element <HEAD> in die Vorlage ein! Näheres dazu in der Hilfe."},
    {"</HEAD", "     FEHLER: Die Vorlage enthält kein Element </HEAD>",
     "Fügen Sie das Element </HEAD> in die Vorlage ein! Näheres dazu in der Hilfe."},
    {"<BODY", "     FEHLER: Die Vorlage enthält kein Element <BODY>",
     "Fügen Sie das Element <BODY> in die Vorlage ein! Näheres dazu in der Hilfe."},
    {"</BODY", "     FEHLER: Die Vorlage enthält kein Element </BODY>",
     "Fügen Sie das Element </BODY> in die Vorlage ein! Näheres dazu in der Hilfe."},
};

void warnAboutOtherFiles(const std::string &directory, RunLog &log)
{
    const std::string pattern = files::join(directory, "*");
    auto others = [](const std::vector<std::string> &names) {
        for (const auto &name : names)
            // The template wizard's copy of the template it replaced is no
            // file the template links to.
            if (name != "index.htm" && name != "index.htm.bak")
                return true;
        return false;
    };
    if (others(files::listFiles(pattern)) || others(files::listDirectories(pattern)))
        log.logLine(de("     WARNUNG: Im Unterverzeichnis \"vantor!!\" befinden sich neben der Vorlage weitere "
                       "Dateien. Links auf diese Dateien gehen bei der Optimierung evtl. verloren. Näheres in "
                       "der Hilfe unter \"Erstellen einer Vorlage\"."),
                    LineKind::Warning);
}

} // namespace

std::string missingTemplateError()
{
    return de("     FEHLER: Für die Optimierung fehlt eine für diese Homepage erstellte Vorlage. Sie muß im "
              "Unterverzeichnis \"\\vantor!!\" der Homepage lokalisiert sein und \"index.htm\" heißen");
}

std::string makeTemplateTodo()
{
    return de("Erstellen Sie eine Vorlage für die Homepage. Verwenden Sie dazu den Vorlagen-Wizard. Näheres "
              "finden Sie in der Hilfe unter \"Erstellen einer Vorlage\" im Kapitel \"Vorbereitung\".");
}

std::string templatePath(const std::string &homepageDirectory)
{
    return files::join(files::join(homepageDirectory, "vantor!!"), "index.htm");
}

bool checkTemplate(const std::string &homepageDirectory, RunLog &log, Ui &ui)
{
    bool writeFailed = false;
    return checkTemplate(homepageDirectory, log, ui, nullptr, writeFailed);
}

bool checkTemplate(const std::string &homepageDirectory, RunLog &log, Ui &ui,
                   const std::function<bool(const std::string &path)> &beforeWrite, bool &writeFailed)
{
    writeFailed = false;
    const std::string path = templatePath(homepageDirectory);
    if (!files::isFile(path))
        return false;

    std::string text;
    std::string original;
    try {
        if (!files::read(path, text)) {
            log.logLine(missingTemplateError(), LineKind::Error);
            log.addTodo(makeTemplateTodo());
            return false;
        }

        if (!containsLiteral(text, kMarker)) {
            log.logLine(de("     FEHLER: Die Vorlage vantor!!\\index.htm für die Zugangsdokumente enthält keine "
                           "Marke %Suchbegriff%"),
                        LineKind::Error);
            log.addTodo(makeTemplateTodo());
            return false;
        }
        logStackedMarkers(text, log);

        original = text;
        upperCaseHeadBody(text);
        for (const auto &check : kElementChecks) {
            if (!hasTag(text, check.element)) {
                log.logLine(de(check.error), LineKind::Error);
                log.addTodo(de(check.todo));
                return false;
            }
        }
        if (containsLiteral(text, "<!--")) {
            log.logLine(de("     WARNUNG: Vorlage enthält Kommentar"), LineKind::Warning);
            log.addTodo(de("Die Vorlage enthält mind. einen Kommentar. Bitte entfernen Sie alle Kommentare und "
                           "evtl. vorhandene Skripte. Es können sonst Darstellungsfehler auftreten."));
        }
        if (ReadExpertFlag("templatesmayuseframes") == 0 && hasFrameTag(text)) {
            log.logLine(de("     FEHLER: Vorlage enthält Frames"), LineKind::Error);
            log.addTodo(de("Die Vorlage enthält Frames. Bitte entfernen Sie die Frames aus der Vorlage, da sonst "
                           "keine Optimierung möglich ist. Weitere Details in der Hilfe-Datei."));
            return false;
        }
    } catch (const std::bad_alloc &) {
        text = std::string();
        reportOutOfMemory();
        return false;
    }

    // Written beside the template and renamed over it: a full disk must not
    // cost the user the template he made. A template that needs no change
    // is not written at all.
    if (text != original &&
        ((beforeWrite && !beforeWrite(path)) || !files::writeAtomic(path, text))) {
        if (files::isDiskFull(files::lastError()))
            ui.message("Schreibfehler", de("Die Datei \"") + path +
                                            de("\" kann nicht geschrieben werden. Der Datenträger ist voll. Schaffen "
                                               "Sie Platz, indem Sie nicht mehr benötigte Dateien löschen oder "
                                               "verschieben."));
        else
            ui.message("Schreibfehler", de("Schreibfehler beim Schreiben auf die Datei \"") + path +
                                            de("\". Schließen Sie alle Programme, die die Datei verwenden oder ändern "
                                               "Sie die Zugriffsrechte "));
        writeFailed = true;
        return false;
    }

    warnAboutOtherFiles(files::join(homepageDirectory, "vantor!!"), log);
    return true;
}

} // namespace vantor
