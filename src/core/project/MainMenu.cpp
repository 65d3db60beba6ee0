#include "project/MainMenu.h"

#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"

#include <array>

namespace vantor {

namespace {

const std::array<std::string, kTipCount> &tips()
{
    // Each tip is stored with a few line breaks after it; they only pad the
    // text field.
    static const std::array<std::string, kTipCount> list = {
        de("Erzeugen Sie Kopien von Ihren wichtigsten Seiten und speichern Sie diese unter anderem Namen und Titel "
           "und variieren Sie die Schlüsselwörter.\r\n\r\n"),
        de("Wiederholen Sie wichtige Schlüsselwörter am Anfang des Textes einer Seite. So werden Sie von den "
           "Suchmaschinen höher gewertet.\r\n\r\n"),
        de("Melden Sie Ihre Seite(n) bei möglichst vielen Suchmaschinen an, denn sog. Meta-Suchmaschinen werten die "
           "Ergebnisse mehrerer Suchmaschinen aus und kombinieren diese.\r\n"),
        de("Melden Sie mehrere URL's Ihrer Web-Site an, z.B. Unterverzeichnisse. Das erhöht die Trefferwahr- "
           "scheinlichkeiten und Sie können den Suchenden besser auf bestimmte Seiten aufmerksam machen.\r\n"),
        de("Ihre Dokumente sollten die Information beinhalten, die der Interessent sucht - kurz, prägnant und auf den "
           "Punkt gebracht. \r\n\r\n\r\n"),
        de("Wiederholen Sie Schlüsselwörter nicht mehrfach hintereinander im Text. Manche Suchmaschinen streichen "
           "sonst ihre Seite aus dem Index.\r\n\r\n"),
        de("Aktualisieren Sie Ihre Seiten regelmäßig, am besten wöchentlich. Sonst werden Ihre Seiten seltener von den "
           "Suchmaschinen erfaßt und die Suchergebnisse können dadurch veraltet sein.\r\n"),
        de("Bei allen Grafiken sollten Sie die Größe im HTML-Code angeben. Dadurch wird die Seite subjektiv schneller "
           "angezeigt, da der Browser Text sofort richtig plazieren kann.\r\n"),
        de("Verwenden Sie, wenn möglich, URL's, die Schlüsselwörter enthalten. Besonders geeignet sind "
           "Unterverzeichnisse der Homepage.\r\n\r\n"),
        de("Verwenden Sie auf Ihrer Homepage eine Suchmaschine für Ihre Site. Dadurch erfahren Sie weitere "
           "Suchbegriffe sowie typische Schreibfehler und Schreibvarianten.\r\n\r\n"),
        de("Das Verhältnis von Schlüsselwort zum restlichen Text einer Seite sollte möglichst groß sein. Wenn die "
           "Seite also sehr lang ist, sollten wichtige Suchbegriffe auch häufiger enthalten sein.\r\n"),
        de("Verbinden Sie alle wichtigen Dokumente untereinander durch Links, sichtbar oder unsichtbar.\r\n\r\n\r\n"),
        de("Bauen Sie Ihre Schlüsselwörter auch im Plural in den Text ein. Dies ist vor allem wichtig, wenn sich die "
           "Pluralform stark von der Singularform unterscheidet.\r\n"),
        de("Verwenden Sie neben den Suchbegriffen auch verwandte Wörter, Synonyme und ähnliche Begriffe.\r\n\r\n\r\n"),
        de("Geben Sie bei der Optimierung unbedingt den Firmennamen oder Ihren Namen an. Damit finden Sie Ihre "
           "Dokumente bei den Suchmaschinen auch sicher wieder.\r\n\r\n"),
        de("Verwenden Sie neben den Suchbegriffen auch häufig verwendete falsche Schreibweisen dieser "
           "Begriffe.\r\n\r\n\r\n"),
        de("Füllen Sie den alternativen Text bei Grafiken möglichst mit Suchbegriffen.\r\n\r\n\r\n"),
        de("Seiten mit Frames sind äußerst ungünstig zu optimieren. Beachten Sie die Hinweise in der "
           "Hilfe-Datei!\r\n\r\n"),
    };
    return list;
}

} // namespace

const std::string &tipText(int number)
{
    if (number < 1 || number > kTipCount)
        number = 1;
    return tips()[static_cast<std::size_t>(number - 1)];
}

int takeNextTip()
{
    ProgramSettings &s = programSettings();
    const int shown = (s.tip < 1 || s.tip > kTipCount) ? 1 : s.tip;
    s.tip = shown == kTipCount ? 1 : shown + 1;
    settingsStore().writeNumber("tip", static_cast<std::uint32_t>(s.tip));
    return shown;
}

std::string projectLine()
{
    return "Geladenes Projekt: " + displayNameMain(programSettings().currentProject) + " ";
}

std::string versionLine() { return std::string("Verwendete Version: ") + kVersionText; }

std::string positionTitle() { return "Platzierungen ermitteln"; }

std::string positionText()
{
    return de("Diese Funktion steht erst ab Version 4.1 zur Verfügung. Damit können Sie alle Top 50 Platzierungen "
              "aller Begriffe bei allen wichtigsten Suchmaschinen ermitteln.");
}

std::string notYetAvailableTitle() { return de("Funktion folgt"); }

std::string notYetAvailableText(const std::string &function)
{
    return de("Die Funktion \"") + function
        + de("\" ist in dieser Ausbaustufe von Vantor!! noch nicht enthalten. Sie folgt mit einer der nächsten "
             "Lieferungen.");
}

} // namespace vantor
