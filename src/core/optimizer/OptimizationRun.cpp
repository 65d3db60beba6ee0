#include "optimizer/FindLiteral.h"
#include "optimizer/OptimizationRun.h"

#include "optimizer/DoorwayPages.h"
#include "optimizer/HeadElements.h"
#include "optimizer/HiddenElements.h"
#include "optimizer/OptimizationReport.h"
#include "optimizer/PageFiles.h"
#include "optimizer/PageText.h"
#include "optimizer/RandomSource.h"
#include "optimizer/TemplateCheck.h"
#include "optimizer/TermText.h"
#include "optimizer/TrackingImage.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "project/MakerContact.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "submit/Sitemap.h"
#include "submit/SubmitSettings.h"
#include "ui/Ui.h"

#include <ctime>
#include <filesystem>
#include <new>

#include <unistd.h>

namespace vantor {

namespace {

const char *const kReportFileName = "~report.htm";

// Copies and doorway documents: the next run makes them again.
const files::AtomicWrite kGenerated{0666, true, false};



std::string cannotWriteError(const std::string &path)
{
    return de("     FEHLER: Die Datei \"") + path + de("\" kann nicht erzeugt/überschrieben werden");
}

// Whether the write that just failed found the disk full.
bool diskFull() { return files::isDiskFull(files::lastError()); }

std::string diskFullTodo()
{
    return de("Der Datenträger ist voll. Schaffen Sie Platz, indem Sie nicht mehr benötigte Dateien löschen oder "
              "verschieben, und starten Sie die Optimierung dann erneut.");
}

std::string closeProgramsTodo(const std::string &path)
{
    return de("Schließen Sie alle Programme, die die Datei \"") + path +
           de("\" verwenden, z.B. den Windows Explorer, oder ändern Sie die Zugriffsrechte");
}

// The remedy for a write that just failed: room on the disk, or the file's
// users and rights.
std::string writeFailureTodo(const std::string &path) { return diskFull() ? diskFullTodo() : closeProgramsTodo(path); }

std::string unusableTermWarning(const std::string &term)
{
    return de("     WARNUNG: Der Suchbegriff \"") + term +
           de("\" ergibt keinen gültigen Dateinamen, für ihn wird keine Datei erzeugt");
}

std::tm localNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm result{};
    localtime_r(&now, &result);
    return result;
}

// The name a term gives its files and directories.
std::string nameForm(std::string_view term) { return safeNameForm(term); }

std::string quoted(const std::string &text) { return "\"" + text + "\""; }

} // namespace

std::string &sessionLineEnd()
{
    static std::string lineEnd;
    return lineEnd;
}

void chooseLineEnd(const std::string &page, std::string &lineEnd)
{
    const std::size_t firstCr = page.find('\r');
    if (page.find("\r ") != std::string::npos ||
        (firstCr != std::string::npos && (firstCr + 1 >= page.size() || page[firstCr + 1] != '\n')))
        lineEnd = "\r";
    const std::size_t firstLf = page.size() > 1 ? page.find('\n', 1) : std::string::npos;
    if (page.find(" \n") != std::string::npos || (firstLf != std::string::npos && page[firstLf - 1] != '\r'))
        lineEnd = "\n";
    if (page.find("\r\n") != std::string::npos)
        lineEnd = "\r\n";
}

OptimizationRun::OptimizationRun(Ui &ui, std::string projectName)
    : m_ui(ui)
    , m_project(std::move(projectName))
{
}

OptimizationRun::~OptimizationRun() = default;

void OptimizationRun::begin()
{
    m_ui.progress(0, kProgressMaximum);
    m_log.logLine("Daten zur Optimierung liegen vor", LineKind::Normal);
    m_log.logLine("Optimierung kann gestartet werden...", LineKind::Normal);
}

std::string OptimizationRun::reportPath() const { return files::join(m_homepageDirectory, kReportFileName); }

void OptimizationRun::abort(const std::string &error, const std::string &todo)
{
    m_log.logLine(error, LineKind::Error);
    m_log.addTodo(todo);
    m_log.logLine("OPTIMIERUNG ABGEBROCHEN", LineKind::Error);
}

void OptimizationRun::abortCannotWrite(const std::string &path)
{
    if (diskFull())
        abort(de("     FEHLER: Die Datei \"") + path + de("\" kann nicht geschrieben werden. Der Datenträger ist voll."),
              diskFullTodo());
    else
        abort(cannotWriteError(path), closeProgramsTodo(path));
}

void OptimizationRun::warnLink(const std::string &path)
{
    m_log.logLine(de("     WARNUNG: \"") + path +
                      de("\" ist ein Verweis (symbolischer Link) oder führt aus dem Verzeichnis der Homepage heraus; "
                         "Vantor!! lässt ihn unverändert und schreibt nicht hindurch"),
                  LineKind::Warning);
}

OptimizationRun::Step OptimizationRun::beginBackup()
{
    // A homepage the user made read-only is his to keep: refused before
    // anything of the site changes, not after the copies were written.
    if (files::writeProtected(m_homepagePath)) {
        abortCannotWrite(m_homepagePath);
        return Step::End;
    }
    m_guard = std::make_unique<SiteGuard>(m_homepageDirectory);
    m_manifest = OutputManifest(OutputManifest::pathFor(m_project));
    if (!m_manifest.load())
        m_log.logLine(de("     WARNUNG: Die Liste der von Vantor!! erzeugten Dateien kann nicht gelesen werden; ältere "
                         "Ergebnisse werden nur an ihrer Kennzeichnung erkannt"),
                      LineKind::Warning);
    else
        m_manifest.compact();
    const bool homepageThere = files::isFile(m_homepagePath);
    if (!m_backup.begin(m_project, m_homepageDirectory, m_homepagePath) ||
        (homepageThere && !m_backup.keep(m_homepagePath, false, true))) {
        const std::string place = RunBackup::rootFor(m_project);
        abort(de("     FEHLER: Die Sicherung für \"Optimierung rückgängig\" kann nicht in \"") + place +
                  de("\" angelegt werden. Die Web-Site wurde nicht verändert."),
              diskFull() ? diskFullTodo() : de("Prüfen Sie die Zugriffsrechte auf das Verzeichnis \"") + place + "\".");
        return Step::End;
    }
    m_log.logLine(de("     Sicherung für \"Optimierung rückgängig\": ") + m_backup.id(), LineKind::Normal);
    return Step::Go;
}

OptimizationRun::Write OptimizationRun::writeSiteFile(const std::string &path, const std::string &content,
                                                      const files::AtomicWrite &how, bool generated)
{
    // The homepage was kept when the run began and is written through a link,
    // as the user set it up.
    const bool homepage = path == m_homepagePath;
    if (!homepage) {
        const SiteGuard::Verdict verdict = m_guard->fileTarget(path);
        if (verdict == SiteGuard::Verdict::Outside) {
            warnLink(path);
            return Write::Refused;
        }
        if (!makeWayFor(path, verdict))
            return Write::Failed;
    }
    if (!files::writeAtomic(path, content, how))
        return Write::Failed;
    m_backup.noteWritten(path, content);
    if (generated && !homepage)
        m_manifest.addFile(path, content);
    return Write::Done;
}

bool OptimizationRun::makeWayFor(const std::string &path, SiteGuard::Verdict verdict)
{
    if (files::entryExists(path) ? !m_backup.keep(path, false) : !m_backup.noteMade(path))
        return false;
    return verdict != SiteGuard::Verdict::LinkAllowed || ::unlink(files::osPath(path).c_str()) == 0;
}

bool OptimizationRun::prepareDirectory(const std::string &path)
{
    if (m_guard->directory(path) != SiteGuard::Verdict::Allowed) {
        warnLink(path);
        return false;
    }
    if (files::isDirectory(path))
        return true;
    m_backup.noteDirectoryMade(path);
    if (!files::createDirectory(path))
        return true; // the documents' writes report it
    m_manifest.addDirectory(path);
    m_log.logLine("     Verzeichnis " + quoted(path) + " angelegt", LineKind::Normal);
    return true;
}

void OptimizationRun::run(bool withProjectData, bool withConfigData)
{
    if (m_hasRun)
        return;
    m_hasRun = true;
    m_withProjectData = withProjectData;
    m_withConfigData = withConfigData;

    try {
        // Each step says whether the run goes on; every way out passes the
        // end step.
        m_signs = StartSigns::fromSettings(projectOptions().sonz);
        m_ui.progress(1, kProgressMaximum);
        // The backup comes first: the template check may write the template.
        if (readProject() == Step::Go && beginBackup() == Step::Go && checkTemplateLoop() == Step::Go) {
            removeOldResults();
            if (readHomepage() == Step::Go && checkHomepage() == Step::Go) {
                chooseLineEnd(m_page, sessionLineEnd());
                if (makeCopies() == Step::Go && makeDoorwayPages() == Step::Go) {
                    optimizeHomepage();
                    if (writeHomepage() == Step::Go) {
                        recordRun();
                        closeRun();
                    }
                }
            }
        }
    } catch (const std::bad_alloc &) {
        // Too little memory for this site: the run ends, the program and
        // the user's files do not.
        m_page = std::string();
        reportOutOfMemory();
    }
    finish();
}

OptimizationRun::Step OptimizationRun::readProject()
{
    m_log.logLine("=== Daten werden gelesen ===", LineKind::Normal);
    bool failed = false;
    if (!LoadProjectOptions(m_project)) {
        showProjectFailure(m_ui, ProjectFailure::LoadOptions, m_project);
        failed = true;
    } else if (!LoadProjectData(m_project)) {
        showProjectFailure(m_ui, ProjectFailure::LoadData, m_project);
        failed = true;
    }
    if (failed) {
        abort(de("     FEHLER: Die Projektdatei ") + m_project +
                  ".qx! kann nicht gelesen werden. Sie ist nicht vorhanden oder wurde manipuliert!",
              "Stellen Sie die originale Projektdatei " + m_project + ".qx! wieder her");
        return Step::End;
    }
    // The start signs follow the options just read.
    m_signs = StartSigns::fromSettings(projectOptions().sonz);
    ProjectRecord &record = projectRecord();
    record.deriveHomepageFields();
    m_homepagePath = record.path.str();
    m_homepageDirectory = record.homepageDirectory.str();
    readHomepageUrl();
    return Step::Go;
}

void OptimizationRun::readHomepageUrl()
{
    const ProjectOptions &options = projectOptions();
    m_homepageUrl.clear();
    if (options.cano == 0 && options.ogtg == 0)
        return;
    // The address the sitemap lists for the homepage, to the byte: a
    // canonical naming any other would make the sitemap leave the homepage
    // out.
    const std::string projectFile = projectFilePath(m_project);
    const std::string submissionUrl = submitsettings::readEntries(projectFile).url;
    if (submissionUrl.find_first_not_of(" \t") != std::string::npos) {
        m_homepageUrl = toCp1252(sitemap::fileUrl(submitsettings::readSiteScheme(projectFile), submissionUrl,
                                                  files::fileNameOf(m_homepagePath)));
        return;
    }
    if (options.cano != 0) {
        m_log.logLine(de("     WARNUNG: Anmelde-URL des Projekts fehlt, canonical nicht eingefügt"),
                      LineKind::Warning);
        m_log.addTodo(de("Tragen Sie in der Anmeldung die URL Ihrer Homepage ein, damit Vantor!! den "
                         "canonical-Link setzen kann."));
    }
}

OptimizationRun::Step OptimizationRun::checkTemplateLoop()
{
    ProjectRecord &record = projectRecord();
    if (record.makedirs != 0) {
        m_log.logLine(de("=== Vorlage prüfen ==="), LineKind::Normal);
        const auto keepTemplate = [this](const std::string &path) {
            if (m_guard->fileTarget(path) == SiteGuard::Verdict::Outside) {
                warnLink(path);
                return false;
            }
            return m_backup.keep(path, false);
        };
        bool writeFailed = false;
        while (!checkTemplate(m_homepageDirectory, m_log, m_ui, keepTemplate, writeFailed)) {
            if (writeFailed) {
                abortCannotWrite(templatePath(m_homepageDirectory));
                return Step::End;
            }
            const bool ok = m_ui.question(
                "Vorlage fehlt",
                de("Vantor!! benötigt eine Vorlage für die Optimierung. Klicken Sie auf \"OK\", um den "
                   "Vorlagen-Wizard zu starten. Klicken Sie auf \"Abbruch\", um die Optimierung abzubrechen."));
            if (!ok || !m_templateWizard) {
                m_log.logLine(missingTemplateError(), LineKind::Error);
                m_log.addTodo(makeTemplateTodo());
                return Step::End;
            }
            m_templateWizard(m_homepagePath);
        }
    }
    if (record.doorlikehp == 0 && record.startpage.empty())
        record.doorlikehp = 1;
    return Step::Go;
}

void OptimizationRun::removeOldResults()
{
    m_log.logLine(de("=== Daten älterer Optimierungen entfernen ==="), LineKind::Normal);
    if (projectRecord().deleteold != 0) {
        // The default signs whatever set is chosen. The homepage itself is
        // never taken for an old result, even when its name starts so, and a
        // link is never followed: what it points to is not the site's.
        const std::string homepageName = files::fileNameOf(m_homepagePath);
        for (const auto &name : files::listDirectories(files::join(m_homepageDirectory, "!*"))) {
            const std::string path = files::join(m_homepageDirectory, name);
            if (SiteGuard::isLink(path))
                warnLink(path);
            else
                removeOldDirectory(path);
        }
        for (const char *pattern : {"!*", "-*", "#*"})
            for (const auto &name : files::listFiles(files::join(m_homepageDirectory, pattern))) {
                if (name == homepageName)
                    continue;
                const std::string path = files::join(m_homepageDirectory, name);
                if (SiteGuard::isLink(path))
                    warnLink(path);
                else
                    removeOldFile(path);
            }
    }
    m_ui.progress(2, kProgressMaximum);
}

bool OptimizationRun::isLegacyDocument(const std::string &path) const
{
    // Before the record of our files was kept, our documents were known by
    // the hidden image every one of them links to.
    const std::string extension = files::extensionOf(path);
    if (extension != lowerCp1252(projectRecord().homepageExtension.view()) && extension != "htm")
        return false;
    std::string content;
    if (!files::read(path, content))
        return false;
    return lowerCp1252(content).find("vantor.gif") != std::string::npos;
}

bool OptimizationRun::removeSiteEntry(const std::string &path)
{
    if (!m_backup.keep(path, true) || !files::remove(path)) {
        m_log.logLine(de("     WARNUNG: \"") + path + de("\" kann nicht entfernt werden"), LineKind::Warning);
        return false;
    }
    m_manifest.forget(path);
    return true;
}

void OptimizationRun::removeOldFile(const std::string &path)
{
    const OutputManifest::Entry *entry = m_manifest.find(path);
    if ((entry != nullptr && !entry->directory) || isLegacyDocument(path)) {
        removeSiteEntry(path);
        return;
    }
    m_log.logLine(de("     WARNUNG: \"") + path + de("\" wurde nicht von Vantor!! erzeugt und bleibt erhalten"),
                  LineKind::Warning);
}

void OptimizationRun::removeOldDirectory(const std::string &path)
{
    namespace fs = std::filesystem;
    const OutputManifest::Entry *entry = m_manifest.find(path);
    const bool recorded = entry != nullptr && entry->directory;
    struct Item {
        std::string path;
        bool file;
    };
    std::vector<Item> items;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(files::osPath(path)), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        const fs::file_status status = it->symlink_status(typeEc);
        items.push_back({files::join(path, toCp1252(it->path().filename().string())),
                         !typeEc && fs::is_regular_file(status)});
    }
    if (ec)
        return;
    // An unrecorded directory of an earlier version counts as ours only when
    // everything in it is: marked documents and their image.
    bool legacy = !recorded && !items.empty();
    for (const Item &item : items) {
        if (!legacy)
            break;
        std::string content;
        legacy = item.file && (isLegacyDocument(item.path) ||
                               (files::extensionOf(item.path) == "gif" && files::read(item.path, content) &&
                                content == kTrackingImage));
    }
    bool left = false;
    for (const Item &item : items) {
        if (item.file && (legacy || m_manifest.contains(item.path))) {
            if (!removeSiteEntry(item.path))
                left = true;
        } else {
            left = true;
        }
    }
    if (left || (!recorded && !legacy)) {
        m_log.logLine(de("     WARNUNG: Das Verzeichnis \"") + path +
                          de("\" enthält Dateien, die nicht von Vantor!! erzeugt wurden, und bleibt erhalten"),
                      LineKind::Warning);
        return;
    }
    m_backup.noteDirectoryRemoved(path);
    if (files::removeDirectory(path))
        m_manifest.forget(path);
}

OptimizationRun::Step OptimizationRun::readHomepage()
{
    std::string raw;
    if (!files::isFile(m_homepagePath) || !files::read(m_homepagePath, raw)) {
        m_page = std::string();
        abortCannotWrite(m_homepagePath);
        return Step::End;
    }
    m_homepageEncoding = detectEncoding(raw);
    m_log.logLine(de("     Zeichensatz der Homepage: ") + encodingName(m_homepageEncoding), LineKind::Normal);
    if (m_homepageEncoding.mismatch)
        m_log.logLine(de("     WARNUNG: Die Homepage gibt den Zeichensatz ") +
                          charsetName(m_homepageEncoding.declaredCharset) +
                          de(" an, ihr Inhalt sieht aber nach einem anderen aus. Vantor!! richtet sich nach der "
                             "Angabe; prüfen Sie die Umlaute der optimierten Seiten."),
                      LineKind::Warning);
    m_page = m_working.fromPage(raw, m_homepageEncoding);
    return Step::Go;
}

OptimizationRun::Step OptimizationRun::checkHomepage()
{
    upperCaseHeadBody(m_page);
    const bool frames = hasFrameTag(m_page);
    struct Check {
        const char *element;
        bool frameTagSuffices;
        const char *error;
        const char *todo;
    };
    static const Check checks[] = {
        {"<HEAD", false, "     FEHLER: Kein Element <HEAD> gefunden",
         "Fügen Sie das Element <HEAD> in das Dokument ein! Näheres dazu in der Hilfe."},
        {"</HEAD", false, "     FEHLER: Kein Element </HEAD> gefunden",
         "Fügen Sie das Element </HEAD> in das Dokument ein! Näheres dazu in der Hilfe."},
        {"<BODY", true, "     FEHLER: Kein Element <BODY> gefunden",
         "Fügen Sie das Element <BODY> in das Dokument ein! Näheres dazu in der Hilfe."},
        {"</BODY", true, "     FEHLER: Kein Element </BODY> gefunden",
         "Fügen Sie das Element </BODY> in das Dokument ein! Näheres dazu in der Hilfe."},
    };
    for (const auto &check : checks) {
        if (!hasTag(m_page, check.element) && !(check.frameTagSuffices && frames)) {
            abort(de(check.error), de(check.todo));
            return Step::End;
        }
    }
    return Step::Go;
}

OptimizationRun::Step OptimizationRun::makeCopies()
{
    m_log.logLine("=== Kopien erzeugen ===", LineKind::Normal);
    const std::string image = files::join(m_homepageDirectory, "vantor.gif");
    if (writeSiteFile(image, std::string(kTrackingImage), {}) == Write::Failed) {
        abortCannotWrite(image);
        return Step::End;
    }
    if (ProjectOptions::forHomepage(projectOptions().vcop)) {
        for (int copy = 1; copy <= ProjectRecord::kCopies; ++copy) {
            m_ui.pump();
            m_ui.progress((copy + 1) / 2 + 2, kProgressMaximum);
            m_ui.pause(5);
            for (int variant = 0; variant < 3; ++variant) {
                if (variant > 0 && projectRecord().scope != 2)
                    break;
                if (makeCopyFile(copy, variant) == Step::End)
                    return Step::End;
            }
        }
        logModernHeadCounts(m_log, m_copyHeads, m_homepageUrl, "Kopie", "Kopien");
        if (m_noCopyMade) {
            m_log.logLine("     WARNUNG: Keine Kopien erstellt da keine angegeben wurden", LineKind::Warning);
            m_log.addTodo(de("Geben Sie im Wizard Suchbegriffe für die Kopien ein, um Kopien zu erzeugen. Dies "
                             "verbessert die Optimierung deutlich!"));
        } else {
            const StartSigns listed = StartSigns::forSonz(projectOptions().sonz);
            m_log.addTodo("Kopieren Sie die erzeugten Kopien beginnend mit \"" + listed.copySign(1) + "\", \"" +
                          listed.copySign(2) + "\" und \"" + listed.copySign(3) +
                          "\" im Verzeichnis der Homepage auf den Web-Server");
        }
    }
    m_ui.progress(8, kProgressMaximum);
    return Step::Go;
}

OptimizationRun::Step OptimizationRun::makeDoorwayPages()
{
    m_log.logLine("=== Zugangsseiten ===", LineKind::Normal);
    if (projectRecord().makedirs == 0) {
        m_log.logLine(de("     Zugangsdokumente können nicht erstellt werden, da keine Verzeichnisse erstellt "
                         "werden können"),
                      LineKind::Normal);
        m_log.logLine("     Zugangsdokumente erstellen abgebrochen", LineKind::Normal);
        m_log.addTodo(de("Verwenden Sie eine andere Domain bzw. anderen Web-Server, wo Sie Verzeichnisse erstellen "
                         "können und aktivieren Sie das Erstellen von Verzeichnissen."));
        return Step::Go;
    }

    std::vector<std::string> unusable;
    m_doorways = buildDoorwayTerms(projectRecord(), ReadExpertFlag("dontuseHPkeywordsfordoorways") == 0, unusable);
    for (const std::string &term : unusable)
        m_log.logLine(unusableTermWarning(term), LineKind::Warning);
    bool analysingLogged = false;
    int lastTerm = -1;
    for (int i = 0; i < DoorwayTerms::kSlots; ++i)
        if (!m_doorways.slots[static_cast<std::size_t>(i)].term.empty())
            lastTerm = i;
    std::size_t longestLength = 0;
    std::size_t shortestLength = 100;
    for (int i = 0; i < DoorwayTerms::kSlots; ++i) {
        m_ui.pump();
        m_ui.progress(i / 25 + 8, kProgressMaximum);
        const std::string &term = m_doorways.slots[static_cast<std::size_t>(i)].term;
        if (term.empty()) {
            m_ui.pause(5);
            if (i > lastTerm && !analysingLogged) {
                m_log.logLine("Daten werden analysiert...", LineKind::Normal);
                analysingLogged = true;
            }
            continue;
        }
        m_ui.pause(10);
        const Step made = makeDoorway(i);
        if (made == Step::End)
            return Step::End;
        if (made == Step::Skip)
            continue;
        // Among terms of one length the first stays the example.
        if (term.size() > longestLength) {
            longestLength = term.size();
            m_doorways.longest = i;
        }
        if (term.size() < shortestLength) {
            shortestLength = term.size();
            m_doorways.shortest = i;
        }
        // The image is ours alone and the same 42 bytes every time: nothing
        // of the user's can be lost by writing it plainly, and the synced
        // replace of every document is already the larger part of the step.
        const std::string image = files::join(doorwayDirectory(term), nameForm(term) + ".gif");
        if (writeSiteFile(image, std::string(kTrackingImage), kGenerated) == Write::Failed) {
            abortCannotWrite(image);
            return Step::End;
        }
    }
    m_ui.progress(25, kProgressMaximum);
    logModernHeadCounts(m_log, m_doorwayHeads, m_homepageUrl, "Zugangsdokument", "Zugangsdokumenten");

    if (m_noDoorwayMade) {
        m_log.logLine(de("     WARNUNG: Keine Verzeichnisse für Zugangsdokumente erstellt, da keine angegeben "
                         "wurden"),
                      LineKind::Warning);
        m_log.addTodo(de("Geben Sie im Wizard Suchbegriffe für Ihre Website ein, damit Zugangsdokumente erstellt "
                         "werden können."));
    } else {
        const std::string sign = StartSigns::forSonz(projectOptions().sonz).doorwaySign();
        m_log.addTodo(de("Erstellen Sie, wenn nötig, die erzeugten Verzeichnisse, die mit \"") + sign +
                      de("\" beginnen, auf dem Web-Server"));
        m_log.addTodo("Kopieren Sie die Dateien in den Verzeichnissen beginnend mit \"" + sign +
                      "\" auf den Web-Server");
    }
    return Step::Go;
}

PageContext OptimizationRun::pageContext()
{
    const ProjectRecord &record = projectRecord();
    PageContext context;
    context.record = &record;
    context.options = &projectOptions();
    context.signs = &m_signs;
    context.doorways = &m_doorways;
    context.log = &m_log;
    context.random = m_random != nullptr ? m_random : &RandomSource::standard();
    context.lineEnd = sessionLineEnd();
    context.homepageFileName = record.homepageFileName.str();
    context.homepageExtension = record.homepageExtension.str();
    context.homepageUrl = m_homepageUrl;
    return context;
}

OptimizationRun::Step OptimizationRun::makeCopyFile(int copy, int variant)
{
    const ProjectRecord &record = projectRecord();
    const auto &term = record.copyKeywords[static_cast<std::size_t>(copy - 1)][static_cast<std::size_t>(variant)];
    if (term.empty())
        return Step::Go;
    const std::string name = nameForm(term.view());
    if (name.empty()) {
        m_log.logLine(unusableTermWarning(cutAtHash(term.view())), LineKind::Warning);
        return Step::Go;
    }
    const std::string fileName = m_signs.copySign(variant + 1) + name + "." + record.homepageExtension.str();
    const std::string path = files::join(m_homepageDirectory, fileName);
    // Without start signs a copy of the term "index" would be named like the
    // homepage itself; the user's page is worth more than one copy.
    if (lowerCp1252(fileName) == lowerCp1252(files::fileNameOf(m_homepagePath))) {
        m_log.logLine(de("     WARNUNG: Die Kopie ") + quoted(path) +
                          de(" wird nicht erzeugt, sie hätte den Namen der Homepage"),
                      LineKind::Warning);
        return Step::Go;
    }
    // Optimised before it is written, so that the copy costs one write; one
    // that cannot be optimised is kept as the homepage's text.
    std::string text = m_page;
    const PageContext context = pageContext();
    const bool optimized = optimizeCopyText(context, text, copy, variant);
    const ModernHeadWritten heads = optimized ? writeCopyModernHead(context, text, copy) : ModernHeadWritten{};
    const Write written = writeSiteFile(path, m_working.toPage(optimized ? text : m_page, m_homepageEncoding), kGenerated);
    if (written == Write::Refused)
        return Step::Go;
    if (written == Write::Failed) {
        abort(de("     FEHLER: Die Kopie ") + quoted(path) + de(" kann nicht überschrieben werden"),
              writeFailureTodo(path));
        return Step::End;
    }
    m_noCopyMade = false;
    m_log.useTechnique("vcop");
    if (projectOptions().tico != 0)
        m_log.useTechnique("tico");
    if (projectOptions().deco != 0)
        m_log.useTechnique("deco");
    m_copyHeads += heads;
    if (optimized) {
        m_log.logLine("     Kopie " + quoted(path) + " erzeugt und optimiert", LineKind::Normal);
    } else {
        m_log.logLine("     FEHLER: Die Kopie " + quoted(path) + " konnte nicht optimiert werden", LineKind::Error);
        m_log.addTodo(closeProgramsTodo(path));
    }
    return Step::Go;
}

bool OptimizationRun::readTemplate(const std::string &path, std::string &text, PageEncoding &encoding)
{
    // A template serves many terms; the disk is asked once per run.
    auto found = m_templates.find(path);
    if (found == m_templates.end()) {
        std::optional<Template> read;
        std::string content;
        if (files::isFile(path) && files::read(path, content)) {
            Template t;
            t.encoding = detectEncoding(content);
            t.text = m_working.fromPage(content, t.encoding);
            // The template check normalises index.htm on the disk; numbered
            // and term templates get the same here, or a <Head> of theirs
            // would leave their documents without our head elements.
            upperCaseHeadBody(t.text);
            read = std::move(t);
        }
        found = m_templates.emplace(path, std::move(read)).first;
    }
    if (!found->second)
        return false;
    text = found->second->text;
    encoding = found->second->encoding;
    return true;
}

std::string OptimizationRun::doorwayDirectory(const std::string &term) const
{
    return files::join(m_homepageDirectory, m_signs.doorwaySign() + nameForm(term));
}

OptimizationRun::Step OptimizationRun::makeDoorway(int slot)
{
    const ProjectRecord &record = projectRecord();
    const DoorwayTerms::Slot &entry = m_doorways.slots[static_cast<std::size_t>(slot)];
    const std::string &term = entry.term;
    const std::string directory = doorwayDirectory(term);
    // Without a start sign the term "vantor!!" would name the directory of
    // the templates, and its index document would replace the user's
    // template.
    if (lowerCp1252(files::fileNameOf(directory)) == "vantor!!") {
        m_log.logLine(de("     WARNUNG: Für den Begriff ") + quoted(term) + de(" wird kein Zugangsdokument erzeugt, ") +
                          "das Verzeichnis " + quoted(directory) + de(" enthält die Vorlagen"),
                      LineKind::Warning);
        return Step::Skip;
    }
    // A doorway directory that is a link, say to a folder of the user's, is
    // not ours to fill.
    if (!prepareDirectory(directory))
        return Step::Skip;

    const PageContext context = pageContext();
    const std::string indexPath = files::join(directory, context.doorwayDocumentName());
    const std::string termPath = files::join(directory, nameForm(term) + ".htm");
    // A term named like the index document ("index" beside index.htm) would
    // write its term document over it; the index document is the one the
    // links lead to, so it alone is made.
    const bool withTermDocument = record.scope != 0 && termPath != indexPath;
    // Each document is written once, filled in: a copy of the bare template
    // first would cost every document a second write to the disk. When the
    // filling fails the bare templates are what the user finds, as if they
    // had been copied first.
    const std::string indexTemplate = files::join(m_homepageDirectory, indexTemplateName(entry.templateNumber));
    const std::string termTemplate = files::join(
        m_homepageDirectory,
        termTemplateName(entry.templateNumber, ReadExpertFlag("usespecialdoorwaytemplate") != 0));
    std::string indexText;
    std::string termText;
    const auto cannotCopy = [&] {
        abort(de("     FEHLER: Zugangsdokument(e) für den Begriff ") + quoted(indexPath) +
                  de(" kann nicht erstellt/überschrieben werden"),
              writeFailureTodo(indexPath));
        return Step::End;
    };
    PageEncoding indexEncoding;
    PageEncoding termEncoding;
    // Refused writes (a link out of the site) are warned about and leave
    // this term without its documents.
    const auto writeDocuments = [&](const std::string &index, const std::string &termDocument) {
        Write written = writeSiteFile(indexPath, m_working.toPage(index, indexEncoding), kGenerated);
        if (written == Write::Done && withTermDocument)
            written = writeSiteFile(termPath, m_working.toPage(termDocument, termEncoding), kGenerated);
        return written;
    };
    if (!readTemplate(indexTemplate, indexText, indexEncoding) ||
        (withTermDocument && !readTemplate(termTemplate, termText, termEncoding)))
        return cannotCopy();

    if (!m_textBlocksRead && (indexText.find("%Textbaustein") != std::string::npos ||
                              termText.find("%Textbaustein") != std::string::npos)) {
        m_textBlocksRead = true;
        const std::string blocks = files::join(m_homepageDirectory, "Textbausteine.txt");
        std::string raw;
        if (files::isFile(blocks) && files::read(blocks, raw))
            m_textBlocks = m_working.fromPage(raw, detectEncoding(raw));
        else
            m_textBlocks.clear();
    }
    std::string indexDocument = indexText;
    std::string termDocument = termText;
    const bool filled =
        fillDoorwayDocument(context, indexDocument, term, slot, 0, m_textBlocks) &&
        (!withTermDocument || fillDoorwayDocument(context, termDocument, term, slot, 1, m_textBlocks));
    if (!filled) {
        const Write written = writeDocuments(indexText, termText);
        if (written == Write::Failed)
            return cannotCopy();
        if (written == Write::Refused)
            return Step::Skip;
        m_log.logLine(de("     FEHLER: Zugangsdokument(e) für den Begriff ") + quoted(term) +
                          " konnte nicht optimiert werden",
                      LineKind::Error);
        return Step::End;
    }
    ModernHeadWritten heads = writeDoorwayModernHead(context, indexDocument, term);
    if (withTermDocument)
        heads += writeDoorwayModernHead(context, termDocument, term);
    const Write written = writeDocuments(indexDocument, termDocument);
    if (written == Write::Failed)
        return cannotCopy();
    if (written == Write::Refused)
        return Step::Skip;
    m_noDoorwayMade = false;
    m_doorwayHeads += heads;
    m_log.logLine(de("     Zugangsdokument(e) für den Begriff ") + quoted(term) + " erzeugt und optimiert",
                  LineKind::Normal);
    return Step::Go;
}

void OptimizationRun::optimizeHomepage()
{
    m_log.logLine("=== Homepage optimieren ===", LineKind::Normal);
    const PageContext context = pageContext();

    // Frames first: whether the hidden elements may go in depends on the
    // NOFRAMES section this makes.
    const FrameState frames = repairFrames(context, m_page, ProjectOptions::forHomepage(projectOptions().nofr));
    m_pageHasFrames = frames.hasFrames;
    m_pageHasNoframes = frames.hasNoframes;
    m_log.logLine(de("     Header Daten werden eingefügt"), LineKind::Normal);
    writeHomepageHeader(context, m_page);
    m_log.logLine(de("     HTML Daten werden eingefügt"), LineKind::Normal);
    writeHomepageHtmlData(context, m_page);
    writeHomepageModernHead(context, m_page);
    m_log.logLine(de("     Meta Daten werden eingefügt"), LineKind::Normal);
    writeHomepageHidden(context, m_page, frames);
}

OptimizationRun::Step OptimizationRun::writeHomepage()
{
    // Never delete-then-create: a full disk or a lost permission halfway
    // would cost the user his homepage. The new text goes beside it and is
    // renamed over it, so either the old or the new page is there.
    if (writeSiteFile(m_homepagePath, m_working.toPage(m_page, m_homepageEncoding), {}, false) != Write::Done) {
        abortCannotWrite(m_homepagePath);
        return Step::End;
    }
    return Step::Go;
}

void OptimizationRun::recordRun()
{
    const std::tm now = localNow();
    const std::string date = std::to_string(now.tm_mday) + "." + std::to_string(now.tm_mon + 1) + "." +
                             std::to_string(now.tm_year + 1900);
    if (!profile::writeString(projectFilePath(m_project), "project", "lastoptimized", date))
        m_log.logLine(de("     WARNUNG: Das Datum der Optimierung konnte nicht in der Projektdatei ") + m_project +
                          de(".qx! gespeichert werden") +
                          (diskFull() ? de(", der Datenträger ist voll") : std::string()),
                      LineKind::Warning);
    m_ui.progress(26, kProgressMaximum);
}

void OptimizationRun::closeRun()
{
    m_log.logLine("=== Report wird erstellt ===", LineKind::Normal);
    // Told before the totals, so that it counts like every other warning.
    const SiteGuard::Verdict reportPlace = m_guard->fileTarget(reportPath());
    if (reportPlace == SiteGuard::Verdict::Outside)
        warnLink(reportPath());
    const int errors = m_log.errors();
    const std::string totals = "Es sind insgesamt " + std::to_string(errors) + " Fehler und " +
                               std::to_string(m_log.warnings()) + " Warnungen aufgetreten.";
    if (errors > 0) {
        m_log.logLine(de("Optimierung durchgeführt, es sind aber Fehler aufgetreten!"), LineKind::Error);
        m_log.logLine(totals, LineKind::Error);
        m_log.logLine(de("Bitte schicken Sie diesen Report per E-Mail an ") + kSupportAddress +
                          de(", wenn Sie Hilfe bei der Behebung der Fehler benötigen."),
                      LineKind::Normal);
    } else if (m_log.warnings() > 0) {
        m_log.logLine(de("Optimierung durchgeführt, es sind Warnungen aufgetreten!"), LineKind::Warning);
        m_log.logLine(totals, LineKind::Warning);
    } else {
        m_log.logLine("Optimierung erfolgreich beendet", LineKind::Normal);
        m_log.logLine(totals, LineKind::Normal);
    }
    if (errors == 0) {
        if (!m_noDoorwayMade)
            m_log.addTodo(de("Optimierte Dokumente auf Ihren optischen Eindruck überprüfen (Klicken Sie auf die drei "
                             "Buttons unten). Eventuell müssen Sie die Vorlage noch anpassen."));
        m_log.addTodo("Kopieren Sie das optimierte Homepage-Dokument auf den Web-Server.");
        m_log.addTodo(de("Falls noch nicht geschehen, kopieren Sie die Datei 'vantor.gif' in das Root-Verzeichnis "
                         "auf dem Webserver. Sie wird für die nicht sichtbaren Links verwendet."));
        m_log.addTodo(de("Hinweise zu weiteren Optimierungsmöglichkeiten finden Sie in der Hilfe unter \"Über "
                         "Vantor!! hinaus\"."));
    }

    ReportInput input;
    input.record = &projectRecord();
    input.options = &projectOptions();
    input.doorways = &m_doorways;
    input.log = &m_log;
    input.programDirectory = programSettings().programDirectory;
    input.lineEnd = sessionLineEnd();
    input.withProjectData = m_withProjectData;
    input.withConfigData = m_withConfigData;
    input.when = localNow();
    m_report = buildReport(input);
    m_ui.progress(27, kProgressMaximum);
    if (reportPlace == SiteGuard::Verdict::Outside)
        return;
    const std::string report = reportPath();
    if (!makeWayFor(report, reportPlace))
        return;
    m_reportWritten = writeReportFile(report, m_report, m_ui);
    if (m_reportWritten) {
        std::string written;
        if (files::read(report, written))
            m_backup.noteWritten(report, written);
    }
}

void OptimizationRun::finish()
{
    m_backup.finish();
    m_manifest.compact();
    m_ui.progress(kProgressMaximum, kProgressMaximum);
    m_ui.pause(100);
    m_page = std::string();
}

bool OptimizationRun::saveReport(const std::string &path)
{
    if (!m_reportWritten)
        return false;
    return saveReportCopy(m_report, path, programSettings().programDirectory, m_ui);
}

std::optional<std::string> OptimizationRun::copyExamplePath() const
{
    const ProjectRecord &record = projectRecord();
    for (const auto &copy : record.copyKeywords) {
        if (copy[0].empty())
            continue;
        // Only a document this run made is one to show.
        std::string path = files::join(m_homepageDirectory,
                                       m_signs.copySign(1) + nameForm(copy[0].view()) + "." +
                                           record.homepageExtension.str());
        if (!files::isFile(path))
            return std::nullopt;
        return path;
    }
    return std::nullopt;
}

std::optional<std::string> OptimizationRun::doorwayExamplePath(bool longest) const
{
    const int slot = longest ? m_doorways.longest : m_doorways.shortest;
    if (slot < 0 || slot >= DoorwayTerms::kSlots)
        return std::nullopt;
    const std::string &term = m_doorways.slots[static_cast<std::size_t>(slot)].term;
    if (term.empty())
        return std::nullopt;
    const ProjectRecord &record = projectRecord();
    const std::string document =
        lowerCp1252(record.doorlikehp == 1 ? record.homepageFileName.view() : record.startpage.view());
    std::string path = files::join(files::join(m_homepageDirectory, m_signs.doorwaySign() + nameForm(term)), document);
    if (!files::isFile(path))
        return std::nullopt;
    return path;
}

bool OptimizationRun::openReport() { return shellOpen(reportPath()); }

void OptimizationRun::openCopyExample()
{
    if (const auto path = copyExamplePath()) {
        shellOpen(*path);
        return;
    }
    m_ui.message("Kein Dokument vorhanden",
                 de("Es ist kein optimiertes Dokument für die Kopien vorhanden. Bitte geben Sie im Wizard "
                    "entsprechende Informationen ein."));
}

void OptimizationRun::openDoorwayExample(bool longest)
{
    if (const auto path = doorwayExamplePath(longest)) {
        shellOpen(*path);
        return;
    }
    m_ui.message("Kein Dokument vorhanden",
                 de("Es ist kein optimiertes Dokument für die Zugangsseiten vorhanden. Bitte geben Sie "
                    "entsprechende Informationen im Wizard ein."));
}

bool OptimizationRun::leave()
{
    if (m_hasRun) {
        if (m_reportWritten && !SiteGuard::isLink(reportPath()))
            files::remove(reportPath());
        return true;
    }
    return m_ui.question(de("Optimierung noch nicht durchgeführt"),
                         de("Die Optimierung wurde noch nicht durchgeführt. Klicken Sie auf \"Ok\" um die "
                            "Optimierung nicht durchzuführen, alle Daten sind bereits gespeichert. Klicken Sie auf "
                            "\"Abbruch\" und dann \"Optimierung durchführen\" um die Optimierung durchzuführen."));
}

} // namespace vantor
