#include "Cli.h"

#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/Help.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectManager.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "project/Startup.h"
#include "CliUi.h"
#include "optimizer/OptimizationReport.h"
#include "optimizer/OptimizationRun.h"
#include "project/Guidelines.h"
#include "templatewizard/TemplateWizard.h"
#include "ui/StreamUi.h"
#include "wizard/SiteWizard.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <limits>
#include <optional>

namespace vantor {

namespace {

// The standard project may be named the way the lists show it.
std::string projectArgument(const std::string &utf8)
{
    const std::string name = toCp1252(utf8);
    return name == "Standardprojekt" ? std::string("default") : name;
}


// Only names and texts that come back as they were given are taken: a
// character that cp1252 lacks would come back as '?'.
bool validValueName(const std::string &utf8) { return fitsCp1252(utf8) && SettingsStore::isValidName(toCp1252(utf8)); }

// A path as given on the command line, made absolute against the working
// directory (cp1252, like every path of the engine).
std::string absolutePath(const std::string &path)
{
    if (!path.empty() && path.front() == '/')
        return path;
    std::error_code ec;
    return toCp1252(std::filesystem::current_path(ec).string()) + "/" + path;
}

} // namespace

Cli::Cli(std::ostream &out, std::ostream &err)
    : m_out(out)
    , m_err(err)
{
}

std::string Cli::usage()
{
    return "Aufruf / Usage:\n"
           "  vantor-cli settings get NAME\n"
           "  vantor-cli settings set NAME WERT [--number]\n"
           "  vantor-cli settings unset NAME\n"
           "  vantor-cli project list\n"
           "  vantor-cli project show [PROJEKT]\n"
           "  vantor-cli project homepage [PROJEKT] DATEI\n"
           "  vantor-cli project new NAME [--current-options] [--keep-texts] [--keep-keywords]\n"
           "                      [--keep-copy-texts] [--keep-copy-keywords] [--keep-doorways]\n"
           "  vantor-cli project open NAME\n"
           "  vantor-cli project delete NAME [--yes]\n"
           "  vantor-cli project info [--company X] [--name X] [--tel X] [--mail X]\n"
           "  vantor-cli config show\n"
           "  vantor-cli config set CODE WERT\n"
           "  vantor-cli config modern\n"
           "  vantor-cli config reset\n"
           "  vantor-cli watchlist show\n"
           "  vantor-cli watchlist add TEXT [--kind 0|1|2]\n"
           "  vantor-cli watchlist delete TEXT\n"
           "  vantor-cli optimize [--project PROJEKT] [--homepage DATEI] [--no-project-data]\n"
           "                      [--no-config-data] [--save-report DATEI] [--yes]\n"
           "  vantor-cli undo [--project PROJEKT] [--list] [--run ID] [--yes]\n"
           "  vantor-cli template --homepage DATEI (--plain | --image N | --own-image DATEI)\n"
           "                      [--background RRGGBB] [--text RRGGBB] [--yes]\n"
           "  vantor-cli datafile pack TEXT DAT\n"
           "  vantor-cli datafile unpack DAT\n"
           "  vantor-cli datafile get DAT SECTION KEY\n"
           "  vantor-cli version-check\n"
           "  vantor-cli feedback --email ADRESSE --message TEXT\n"
           "  vantor-cli newsletter ADRESSE\n"
           "  vantor-cli sitemap [--url DOMAIN] [--scheme https|http] [--mode optimal|complete] [--out DIR]\n"
           "  vantor-cli submit [--url DOMAIN] [--email ADRESSE] [--mode start|optimal|complete]\n"
           "                    [--target NAME]... [--all] [--documents DATEI]\n"
           "                    [--list-targets] [--list-documents] [--html DATEI] [--csv DATEI] [--yes]\n"
           "  vantor-cli indexnow [--url DOMAIN] [--scheme https|http] [--mode start|optimal|complete]\n"
           "                      [--endpoint URL]... [--all-documents] [--key KEY]\n"
           "  vantor-cli research SUCHBEGRIFF [--as-one-word] [--remember-all-left] [--remember-all-right]\n"
           "  vantor-cli position [--domain DOMAIN] [--domain-list NAME] [--engine NAME]... [--term BEGRIFF]...\n"
           "                      [--list-engines] [--list-terms] [--html DATEI] [--yes]\n"
           "  vantor-cli ranks show [--term BEGRIFF] [--engine NAME] [--last N]\n"
           "  vantor-cli ranks report DATEI.htm\n"
           "  vantor-cli ranks export DATEI.csv\n"
           "  vantor-cli ranks forget [--before JJJJ-MM-TT] --yes\n"
           "  vantor-cli preview [--page DATEI] [--site] [--csv DATEI]\n"
           "  vantor-cli --help\n"
           "\n"
           "Befehle:\n"
           "  settings get      zeigt einen Wert der Programmeinstellungen\n"
           "  settings set      setzt einen Text (mit --number eine 32-Bit-Zahl)\n"
           "  settings unset    löscht einen Wert\n"
           "  project list      listet die Projekte, \"Standardprojekt\" zuerst\n"
           "  project show      zeigt die Daten eines Projekts (ohne Angabe: das aktuelle)\n"
           "  project homepage  setzt die Homepage-Datei eines Projekts\n"
           "  project new       legt ein Projekt an (Daten wahlweise vom aktuellen Projekt) und öffnet es\n"
           "  project open      macht ein Projekt zum aktuellen Projekt\n"
           "  project delete    löscht ein Projekt (--yes bestätigt); danach ist das Standardprojekt aktuell\n"
           "  project info      zeigt oder speichert die Projektinformationen des aktuellen Projekts\n"
           "  config show/set/reset  Konfiguration des aktuellen Projekts (wie \"Konfig\"); show nennt je Code,\n"
           "                    wie die Richtlinien der Suchmaschinen ihn sehen (empfohlen, wirkungslos, riskant)\n"
           "  config modern     \"Zeitgemäß\": riskante und wirkungslose Techniken aus, empfohlene an (canonical,\n"
           "                    viewport, lang, Open Graph), keine Kopien und keine Zugangsseiten\n"
           "  watchlist show/add/delete  Merkliste des aktuellen Projekts (Art 0, 1 = Suchmaschinen\n"
           "                    Eingaben, 2 = Varianten)\n"
           "  optimize          optimiert die Web-Site des Projekts (\"Web-Site Quick\"), schreibt ~report.htm\n"
           "                    --homepage speichert zuerst eine neue Homepage-Datei,\n"
           "                    --no-project-data / --no-config-data lassen Projektdaten bzw. Konfiguration\n"
           "                    im Report weg, --save-report speichert den Report zusätzlich,\n"
           "                    --yes beantwortet Fragen mit \"OK\" (sonst \"Abbruch\")\n"
           "  undo              macht die letzte noch nicht rückgängig gemachte Optimierung rückgängig\n"
           "                    (mehrmals aufgerufen Lauf für Lauf bis zur ursprünglichen Site);\n"
           "                    --list zeigt die aufbewahrten Läufe (ID, Datum, Dateien), --run ID wählt\n"
           "                    einen Lauf, --yes stellt auch nachträglich geänderte Dateien wieder her\n"
           "  template          erzeugt die Vorlage vantor!!/index.htm neben der Homepage (\"Vorlagen-Wizard\"):\n"
           "                    einfarbig, mit Hintergrundbild 1 bis 18 oder einem eigenen Bild;\n"
           "                    --yes überschreibt eine vorhandene Vorlage\n"
           "  datafile pack     packt eine Textdatei (cp1252, Zeilen SECTION.KEY=WERT mit CR LF) zur Datendatei\n"
           "  datafile unpack   gibt den Text einer Datendatei Byte für Byte aus\n"
           "  datafile get      zeigt den Wert von SECTION.KEY einer Datendatei (Exit-Status 1: nicht gefunden)\n"
           "  version-check     fragt beim Update-Server (Einstellung \"updateserver\") nach einer neueren Version\n"
           "  feedback          sendet eine Nachricht an den Support (\"Feedback\")\n"
           "  newsletter        gibt die Adresse der Newsletter-Anmeldung aus und öffnet sie im Browser\n"
           "  sitemap           schreibt sitemap.xml (über 50.000 URLs oder 50 MB: sitemap-1.xml, ... mit\n"
           "                    sitemap.xml als Index) in das Verzeichnis der Homepage und trägt die Zeile\n"
           "                    \"Sitemap: URL\" in robots.txt ein; Seiten mit noindex oder einem canonical-Link\n"
           "                    auf eine andere Adresse fehlen. Vorgaben aus dem Projekt (Domain, Schema,\n"
           "                    Modus; \"nur Startseite\" gilt als optimal). --out DIR schreibt Sitemap und\n"
           "                    robots.txt nach DIR (robots.txt von dort, sonst die der Site als Vorlage), die\n"
           "                    Site bleibt unverändert. Ausgabe: \"Sitemap: N URLs\", \"Ausgelassen (noindex): N\",\n"
           "                    \"Ausgelassen (canonical): N\" (zu lange URLs: eine Zeile mehr), dann je Datei \"Geschrieben: PFAD\",\n"
           "                    \"Entfernt: PFAD\" (alte sitemap-N.xml) oder \"Unverändert: PFAD\" (robots.txt)\n"
           "  submit            meldet die Site bei den Suchmaschinen an (\"Anmeldung\"): jedes Ergebnis als\n"
           "                    \"ZIEL: DOKUMENT-URL > ERGEBNIS\", dann \"Report:\" und \"To Do's:\"; --yes meldet auch\n"
           "                    an, wenn die Homepage nicht antwortet. Exit-Status 0 nur, wenn jede Anmeldung\n"
           "                    erfolgreich abgeschlossen wurde\n"
           "  indexnow          meldet neue und geänderte Dokumente per IndexNow (Standard-Endpunkt\n"
           "                    https://api.indexnow.org/indexnow), schreibt die Schlüsseldatei neben die\n"
           "                    Homepage; je Anfrage \"ENDPUNKT: N URLs > STATUS ERGEBNIS\". Exit-Status 0 nur,\n"
           "                    wenn jede Anfrage mit 200 oder 202 beantwortet wurde\n"
           "  research          Recherche zu einem Suchbegriff (wird klein geschrieben; zwei Wörter werden einzeln\n"
           "                    gesucht, mit --as-one-word als ein Begriff): gibt \"Suchmaschinen Eingaben:\" und\n"
           "                    \"Varianten, Synonyme, verwandte Begriffe:\" mit je einer Zeile pro Begriff aus;\n"
           "                    --remember-all-left/-right übernimmt die linke/rechte Liste in die Merkliste\n"
           "  position          ermittelt die Positionen der Domain (Standard: die Anmelde-URL des Projekts) bei\n"
           "                    den Suchmaschinen für jeden Suchbegriff des Projekts (oder --term); gibt die\n"
           "                    Report-Liste aus, je Ergebnis eine Zeile und je Suchmaschine die Zusammenfassung;\n"
           "                    --html speichert den Ranking-Report. Exit-Status 0 nur, wenn jede Suchmaschine\n"
           "                    \"Position-Analyse erfolgreich abgeschlossen\" meldet; jeder Lauf kommt in den\n"
           "                    Verlauf des Projekts (projects/<Projekt>.ranks.sqlite)\n"
           "  ranks             der Verlauf der Positionen: show zeigt je Suchmaschine und Begriff den letzten Stand\n"
           "                    (13, >30 nicht unter Top 30, Fehler, - nicht geprüft), die Änderung zur vorigen\n"
           "                    erfolgreichen Prüfung, die beste Position, die Tiefe und das Datum; report schreibt\n"
           "                    eine Seite mit Verlaufskurven, export eine CSV-Tabelle, forget löscht Läufe\n"
           "  preview           wie eine Trefferliste Titel und Beschreibung der Homepage (oder mit --page einer\n"
           "                    vorhandenen Seite) zeigt: Breite in Pixeln (Arial 20/14 px) und gekürzter Text;\n"
           "                    --site prüft jede Seite der Site (Titel/Beschreibung fehlt, zu lang, Titel doppelt),\n"
           "                    --csv schreibt die Tabelle; Exit-Status 1, wenn es Befunde gibt\n"
           "\n"
           "Commands:\n"
           "  settings get      print one value of the program settings\n"
           "  settings set      set a text value (a 32-bit number with --number)\n"
           "  settings unset    delete a value\n"
           "  project list      list the projects, \"Standardprojekt\" first\n"
           "  project show      print a project's data (default: the current project)\n"
           "  project homepage  set the homepage file of a project\n"
           "  project new/open/delete/info  the project manager; config: the configuration dialog;\n"
           "  watchlist         the research watch list of the current project\n"
           "  optimize          optimise the project's web site (\"Web-Site Quick\"), writes ~report.htm;\n"
           "                    exit status 1 when the run logged errors or was aborted\n"
           "  undo              undo the newest optimisation run not yet undone (step by step back to the\n"
           "                    original site); --list prints the kept runs, --run ID picks one\n"
           "  template          make the template vantor!!/index.htm beside the homepage: plain, with stock\n"
           "                    picture 1 to 18 or an own picture; --yes overwrites an existing template\n"
           "  datafile          pack a text into a data file, print a data file's text byte for byte, or\n"
           "                    print the value of SECTION.KEY (exit status 1 when it is not there)\n"
           "  version-check     ask the update server (setting \"updateserver\") for a newer version\n"
           "  feedback          send a message to the maker's support\n"
           "  newsletter        print the newsletter subscription URL and open it in the browser\n"
           "  sitemap           write sitemap.xml (index with sitemap-1.xml, ... beyond 50,000 URLs or 50 MB)\n"
           "                    into the homepage's directory and add \"Sitemap: URL\" to robots.txt; pages\n"
           "                    with noindex or a canonical link elsewhere are left out. --out DIR writes the\n"
           "                    sitemap and robots.txt into DIR and leaves the site as it is\n"
           "  submit            submit the site to the search engines: each outcome as \"TARGET: DOCUMENT-URL >\n"
           "                    OUTCOME\", then \"Report:\" and \"To Do's:\"; --yes goes on when the homepage does\n"
           "                    not answer. Exit status 0 only when every target finished successfully\n"
           "  indexnow          send new and changed documents by IndexNow and write the key file beside the\n"
           "                    homepage; one line per request. Exit status 0 only when every request got\n"
           "                    200 or 202 (--all-documents sends all documents)\n"
           "  research          keyword research for a term (lower-cased; two words are searched each on its\n"
           "                    own, --as-one-word as one term): prints both lists, one term a line;\n"
           "                    --remember-all-left/-right keeps that list in the watch list\n"
           "  position          check where the domain (default: the project's submission URL) stands at the\n"
           "                    engines for every term of the project (or --term); prints the report list, a\n"
           "                    line per outcome and each engine's summary; --html saves the ranking report.\n"
           "                    Exit status 0 only when every engine finished successfully; every run goes\n"
           "                    into the project's history\n"
           "  ranks             the history of positions: show (latest state, change, best, depth, date per\n"
           "                    engine and term), report (a page with trend charts), export (CSV), forget\n"
           "  preview           how a result list shows the homepage's title and description (or those of a\n"
           "                    page with --page): width in pixels (Arial 20/14 px) and the text as cut;\n"
           "                    --site checks every page of the site, --csv writes the table; exit status 1\n"
           "                    when there are findings\n"
           "\n"
           "Exit-Status: 0 Erfolg / success, 1 Fehler / failure, 2 Aufruffehler / usage error.\n"
           "Die Einstellungen liegen in $VANTOR_CONFIG_HOME (sonst $XDG_CONFIG_HOME oder ~/.config)/Keldrum/Vantor.\n";
}

int Cli::usageError(const std::string &problem)
{
    m_err << "vantor-cli: " << problem << "\n\n" << usage();
    return 2;
}

int Cli::fail(const std::string &title, const std::string &text)
{
    m_err << toUtf8(title) << ": " << toUtf8(text) << '\n';
    return 1;
}

int Cli::run(const std::vector<std::string> &args)
{
    if (args.empty())
        return usageError("Kein Befehl angegeben / no command given");
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        m_out << usage();
        return 0;
    }
    // The data files need no program set up around them.
    if (args[0] == "datafile")
        return dataFileCommand(args);
    static const std::vector<std::string> commands = {"settings", "project", "optimize", "template", "config",
                                                      "watchlist", "version-check", "feedback", "newsletter",
                                                      "sitemap",
                                                      "undo", "submit",
                                                      "indexnow", "research", "position", "ranks", "preview"};
    if (std::find(commands.begin(), commands.end(), args[0]) == commands.end())
        return usageError("Unbekannter Befehl / unknown command: " + args[0]);

    // Every command runs on a program that has been set up: settings read,
    // program directory and standard project in place, current project loaded.
    StreamUi ui(m_err, std::cin, false);
    setCurrentUi(&ui);
    // A command line has no help window, and starting a browser from a
    // script is nobody's wish: the topic is named instead.
    setHelpOpener([this](int topic) {
        m_err << toUtf8(de("Hilfe: ")) << toUtf8(helpTopicTitle(topic)) << " (" << toUtf8(helpTopicPath(topic))
              << ")\n";
        return true;
    });
    // Whatever a command could not open is named, so the user can open it
    // by hand; the command's own result does not depend on it.
    setOpenFallback([this](const std::string &target) {
        m_err << toUtf8(de("Nicht geöffnet, bitte von Hand öffnen: ")) << toUtf8(target) << '\n';
        return false;
    });
    const StartupResult started = prepareProgram(std::nullopt, ui, nullptr);
    int status = 1;
    if (started.ok)
        status = args[0] == "settings"  ? settingsCommand(args)
                 : args[0] == "project"  ? projectCommand(args)
                 : args[0] == "template"  ? templateCommand(args)
                 : args[0] == "config"    ? configCommand(args)
                 : args[0] == "watchlist" ? watchListCommand(args)
                 : args[0] == "version-check" ? versionCheckCommand(args)
                 : args[0] == "feedback"  ? feedbackCommand(args)
                 : args[0] == "newsletter" ? newsletterCommand(args)
                 : args[0] == "undo"      ? undoCommand(args)
                 : args[0] == "sitemap"   ? sitemapCommand(args)
                 : args[0] == "submit"    ? submitCommand(args)
                 : args[0] == "indexnow"  ? indexNowCommand(args)
                 : args[0] == "research"  ? researchCommand(args)
                 : args[0] == "position"  ? positionCommand(args)
                 : args[0] == "ranks"     ? ranksCommand(args)
                 : args[0] == "preview"   ? previewCommand(args)
                                          : optimizeCommand(args);
    setCurrentUi(nullptr);
    setHelpOpener(nullptr);
    setOpenFallback(nullptr);
    return status;
}

int Cli::settingsCommand(const std::vector<std::string> &args)
{
    if (args.size() < 2)
        return usageError("settings: get, set oder unset erwartet / expected get, set or unset");
    SettingsStore &store = settingsStore();
    const std::string &verb = args[1];
    if (verb == "get" && args.size() == 3) {
        const std::string name = toCp1252(args[2]);
        if (const auto number = store.readNumber(name)) {
            m_out << *number << '\n';
            return 0;
        }
        if (const auto text = store.readText(name)) {
            m_out << toUtf8(*text) << '\n';
            return 0;
        }
        return fail(de("Wert nicht gefunden"), de("Der Wert \"") + name + de("\" ist in den Einstellungen nicht gesetzt."));
    }
    if (verb == "set" && (args.size() == 4 || (args.size() == 5 && args[4] == "--number"))) {
        if (!validValueName(args[2]))
            return usageError("Ungültiger Name / invalid name: " + args[2]);
        const std::string name = toCp1252(args[2]);
        bool written = false;
        if (args.size() == 5) {
            const std::string &text = args[3];
            std::size_t used = 0;
            long long value = 0;
            try {
                value = std::stoll(text, &used, 10);
            } catch (...) {
                used = 0;
            }
            if (used != text.size() || text.empty() || value < std::numeric_limits<std::int32_t>::min()
                || value > std::numeric_limits<std::uint32_t>::max())
                return usageError("Keine gültige Zahl / not a valid number: " + text);
            written = store.writeNumber(name, static_cast<std::uint32_t>(value));
        } else {
            if (!fitsCp1252(args[3]))
                return usageError("Der Wert enthält Zeichen, die die Einstellungen nicht speichern können / the value "
                                  "has characters the settings cannot hold: " + args[3]);
            written = store.writeText(name, toCp1252(args[3]));
        }
        if (!written)
            return fail(de("Fehler Code 7001"), settingsWriteFailedText());
        return 0;
    }
    if (verb == "unset" && args.size() == 3) {
        const std::string name = toCp1252(args[2]);
        if (!store.hasValue(name))
            return fail(de("Wert nicht gefunden"),
                        de("Der Wert \"") + name + de("\" ist in den Einstellungen nicht gesetzt."));
        if (!store.deleteValue(name))
            return fail(de("Fehler Code 7001"), FileLock::lastBusy() ? settingsWriteFailedText()
                                                 : de("Der Wert konnte nicht aus den Einstellungen gelöscht werden."));
        return 0;
    }
    return usageError("settings: falsche Argumente / wrong arguments");
}

int Cli::projectCommand(const std::vector<std::string> &args)
{
    if (args.size() < 2)
        return usageError("project: list, show, homepage, new, open, delete oder info erwartet / expected one of them");
    const std::string &verb = args[1];
    if (verb == "list" && args.size() == 2)
        return projectList();
    if (verb == "show" && args.size() <= 3)
        return projectShow(args.size() == 3 ? projectArgument(args[2]) : programSettings().currentProject);
    if (verb == "homepage" && (args.size() == 3 || args.size() == 4)) {
        const std::string name = args.size() == 4 ? projectArgument(args[2]) : programSettings().currentProject;
        return projectHomepage(name, args.back());
    }
    if (verb == "new")
        return projectNew(args);
    if (verb == "open" && args.size() == 3)
        return projectOpen(args[2]);
    if (verb == "delete")
        return projectDelete(args);
    if (verb == "info")
        return projectInfo(args);
    return usageError("project: falsche Argumente / wrong arguments");
}

int Cli::projectList()
{
    // The project manager's list, the standard project first.
    m_out << projects::kStandardEntry << '\n';
    for (const auto &entry : projects::listEntries())
        if (entry != projects::kStandardEntry)
            m_out << toUtf8(entry) << '\n';
    return 0;
}

int Cli::projectShow(const std::string &name)
{
    if (!isPlainProjectName(name))
        return usageError("Ungültiger Projektname / invalid project name: " + toUtf8(name));
    if (!LoadProjectData(name)) {
        showProjectFailure(currentUi(), ProjectFailure::LoadData, name);
        return 1;
    }
    const bool optionsLoaded = LoadProjectOptions(name);
    const ProjectRecord &r = projectRecord();
    const auto line = [&](const std::string &key, std::string_view value) {
        m_out << key << '=' << toUtf8(value) << '\n';
    };
    line("project", displayNameMain(name));
    line("homepage.path", r.path.view());
    line("homepage.title1", r.title1.view());
    line("homepage.title2", r.title2.view());
    line("homepage.title3", r.title3.view());
    line("homepage.author", r.author.view());
    line("homepage.description", r.description.view());
    line("homepage.startpage", r.startpage.view());
    line("homepage.makedirs", std::to_string(r.makedirs));
    line("homepage.deleteold", std::to_string(r.deleteold));
    line("homepage.doorlikehp", std::to_string(r.doorlikehp));
    line("homepage.scope", std::to_string(r.scope));
    for (int i = 0; i < ProjectRecord::kHomepageTerms; ++i)
        if (!r.homepageKeywords[i].empty())
            line("keywords." + std::to_string(4000 + i), r.homepageKeywords[i].view());
    for (int c = 0; c < ProjectRecord::kCopies; ++c)
        for (int i = 0; i < ProjectRecord::kTermsPerCopy; ++i)
            if (!r.copyKeywords[c][i].empty())
                line("keywords." + std::to_string(4100 + 15 * c + i), r.copyKeywords[c][i].view());
    for (int c = 0; c < ProjectRecord::kCopies; ++c) {
        if (!r.copyTitles[c].empty())
            line("copy." + std::to_string(5300 + c), r.copyTitles[c].view());
        if (!r.copyReserved[c].empty())
            line("copy." + std::to_string(5400 + c), r.copyReserved[c].view());
        if (!r.copyDescriptions[c].empty())
            line("copy." + std::to_string(5500 + c), r.copyDescriptions[c].view());
    }
    for (int i = 0; i < ProjectRecord::kDoorwayTerms; ++i)
        if (!r.doorwayKeywords[i].empty())
            line("doorways." + std::to_string(i + 1), r.doorwayKeywords[i].view());
    for (int i = 0; i < ProjectRecord::kResearchEntries; ++i)
        if (!r.researchList[i].empty())
            line("research." + std::to_string(i + 1), r.researchList[i].view());
    const ProjectOptions &o = projectOptions();
    for (const auto &code : ProjectOptions::codes())
        line(std::string("config.") + code.name, std::to_string(o.*code.field));
    if (!optionsLoaded)
        showProjectFailure(currentUi(), ProjectFailure::LoadOptions, name);
    return optionsLoaded ? 0 : 1;
}

int Cli::projectHomepage(const std::string &name, const std::string &path)
{
    if (!isPlainProjectName(name))
        return usageError("Ungültiger Projektname / invalid project name: " + toUtf8(name));
    const int status = storeHomepage(name, path);
    if (status == 0)
        m_out << toUtf8(projectRecord().path.view()) << '\n';
    return status;
}

int Cli::existingHomepage(const std::string &argument, std::string &path)
{
    std::string full = argument;
    if (full.empty() || full.front() != '/') {
        std::error_code ec;
        full = std::filesystem::current_path(ec).string() + "/" + full;
    }
    if (const auto problem = homepagePathProblem(full))
        return fail(problem->title, problem->text);
    full = toCp1252(full);
    if (!files::isFile(full))
        return fail(de("Datei nicht gefunden"), de("Die Homepage-Datei \"") + full + de("\" existiert nicht."));
    path = full;
    return 0;
}

int Cli::storeHomepage(const std::string &name, const std::string &path)
{
    std::string full;
    if (const int status = existingHomepage(path, full); status != 0)
        return status;
    if (!LoadProjectData(name)) {
        showProjectFailure(currentUi(), ProjectFailure::LoadData, name);
        return 1;
    }
    ProjectRecord &r = projectRecord();
    r.path = full;
    r.deriveHomepageFields();
    if (!SaveHomepagePath(name)) {
        showProjectFailure(currentUi(), ProjectFailure::SaveData, name);
        return 1;
    }
    return 0;
}

int Cli::optimizeCommand(const std::vector<std::string> &args)
{
    std::string project = programSettings().currentProject;
    std::optional<std::string> homepage;
    std::optional<std::string> reportCopy;
    bool withProjectData = true;
    bool withConfigData = true;
    bool yes = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--project" && hasValue)
            project = projectArgument(args[++i]);
        else if (a == "--homepage" && hasValue)
            homepage = args[++i];
        else if (a == "--save-report" && hasValue)
            reportCopy = args[++i];
        else if (a == "--no-project-data")
            withProjectData = false;
        else if (a == "--no-config-data")
            withConfigData = false;
        else if (a == "--yes")
            yes = true;
        else
            return usageError("optimize: falsches Argument / wrong argument: " + a);
    }
    if (!isPlainProjectName(project))
        return usageError("Ungültiger Projektname / invalid project name: " + toUtf8(project));
    if (reportCopy && !fitsCp1252(*reportCopy))
        return usageError("Ungültiger Dateiname / invalid file name: " + *reportCopy);

    CliUi ui(m_err, yes);
    setCurrentUi(&ui);
    const int status = optimize(ui, project, homepage, reportCopy, withProjectData, withConfigData);
    setCurrentUi(nullptr);
    return status;
}

int Cli::templateCommand(const std::vector<std::string> &args)
{
    std::optional<std::string> homepage;
    std::optional<Colour> background;
    std::optional<Colour> text;
    TemplateChoice choice;
    int backgroundsGiven = 0;
    bool yes = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--homepage" && hasValue) {
            homepage = args[++i];
        } else if (a == "--plain") {
            choice.choosePlain();
            ++backgroundsGiven;
        } else if (a == "--image" && hasValue) {
            const std::string &number = args[++i];
            int n = 0;
            if (number.empty() || number.size() > 2 || number.find_first_not_of("0123456789") != std::string::npos ||
                (n = std::stoi(number)) < 1 || n > TemplateChoice::kStockImages)
                return usageError("template: Bildnummer 1 bis 18 erwartet / picture number 1 to 18 expected: " +
                                  number);
            choice.chooseStock(n);
            ++backgroundsGiven;
        } else if (a == "--own-image" && hasValue) {
            const std::string &file = args[++i];
            if (!fitsCp1252(file))
                return usageError("Ungültiger Dateiname / invalid file name: " + file);
            choice.chooseOwn();
            choice.ownImage = file.empty() ? std::string() : absolutePath(toCp1252(file));
            ++backgroundsGiven;
        } else if ((a == "--background" || a == "--text") && hasValue) {
            const auto colour = colourFromHex(args[++i]);
            if (!colour)
                return usageError("template: Farbe als RRGGBB erwartet / colour expected as RRGGBB: " + args[i]);
            (a == "--background" ? background : text) = colour;
        } else if (a == "--yes") {
            yes = true;
        } else {
            return usageError("template: falsches Argument / wrong argument: " + a);
        }
    }
    if (!homepage)
        return usageError("template: --homepage DATEI fehlt / missing");
    if (backgroundsGiven != 1)
        return usageError("template: genau eines von --plain, --image N, --own-image DATEI / exactly one of them");
    // The colours count as chosen after the background, as in the dialog,
    // where "einfarbig" resets the background colour.
    if (background)
        choice.backgroundColour = *background;
    if (text)
        choice.textColour = *text;

    std::string path;
    if (const int status = existingHomepage(*homepage, path); status != 0)
        return status;

    CliUi ui(m_err, yes);
    setCurrentUi(&ui);
    const bool made = createTemplate(path, choice, ui, programSettings().programDirectory);
    setCurrentUi(nullptr);
    if (!made)
        return 1;
    m_out << "Vorlage: " << toUtf8(files::join(templateDirectoryFor(path), "index.htm")) << '\n';
    return 0;
}

int Cli::optimize(Ui &ui, const std::string &project, const std::optional<std::string> &homepage,
                  const std::optional<std::string> &reportCopy, bool withProjectData, bool withConfigData)
{
    // The steps of "Web-Site Quick" after the file dialog.
    if (homepage) {
        const int stored = storeHomepage(project, *homepage);
        if (stored != 0)
            return stored;
    }
    std::optional<std::string> chosen;
    if (homepage)
        chosen = projectRecord().path.str();
    if (!LoadForOptimization(ui, project, chosen))
        return 1;
    if (projectRecord().path.empty())
        return fail("Keine Homepage",
                    de("Für das Projekt \"") + displayNameMain(project) +
                        de("\" ist noch keine Homepage-Datei angegeben. Geben Sie sie mit \"vantor-cli optimize "
                           "--homepage DATEI\" oder \"vantor-cli project homepage DATEI\" an."));
    if (!CheckHomepageFile(ui))
        return 1;

    OptimizationRun run(ui, project);
    CliRunPrinter printer(m_out);
    run.log().setObserver(&printer);
    run.begin();
    run.run(withProjectData, withConfigData);
    run.log().setObserver(nullptr);

    m_out << "To Do's:\n";
    for (const auto &todo : run.log().todos())
        m_out << "- " << toUtf8(todo) << '\n';
    // What today's guidelines say about this run, after the To Do's as in
    // the report.
    m_out << toUtf8(guidelinesHeading()) << ":\n";
    const auto risky = riskyTechniquesUsed(run.log());
    if (risky.empty()) {
        m_out << toUtf8(guidelinesNone()) << '\n';
    } else {
        m_out << toUtf8(guidelinesIntro()) << '\n';
        for (const guidelines::Technique *technique : risky)
            m_out << "- " << toUtf8(guidelines::label(*technique)) << " (" << guidelines::markText(technique->mark)
                  << "): " << toUtf8(guidelines::reason(*technique)) << '\n';
        m_out << toUtf8(guidelinesRemedy()) << '\n';
    }
    bool ok = run.log().errors() == 0 && run.reportWritten();
    if (run.reportWritten()) {
        m_out << "Report: " << toUtf8(run.reportPath()) << '\n';
        if (reportCopy) {
            const std::string target = absolutePath(toCp1252(*reportCopy));
            if (run.saveReport(target))
                m_out << "Report gespeichert / saved: " << toUtf8(target) << '\n';
            else
                ok = false;
        }
    }
    return ok ? 0 : 1;
}

} // namespace vantor
