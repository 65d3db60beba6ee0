#pragma once

#include "optimizer/DoorwayTerms.h"
#include "optimizer/HeadElements.h"
#include "optimizer/OutputManifest.h"
#include "optimizer/PageContext.h"
#include "optimizer/PageEncoding.h"
#include "optimizer/RunBackup.h"
#include "optimizer/RunLog.h"
#include "optimizer/SiteGuard.h"
#include "optimizer/StartSigns.h"
#include "platform/Files.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace vantor {

class RandomSource;
class Ui;

// The line end that every line we insert into a document, and every line of
// the report, ends with. It lives as long as the program: a page without any
// line break leaves it as the page before set it.
std::string &sessionLineEnd();
// Examines a page and sets the line end from it (see sessionLineEnd).
void chooseLineEnd(const std::string &page, std::string &lineEnd);

// One optimisation of the current project's web site: the state behind the
// dialog "Optimierung durchführen", from opening it to leaving it. The run
// itself happens once per object.
class OptimizationRun
{
public:
    static constexpr int kProgressMaximum = 28;

    OptimizationRun(Ui &ui, std::string projectName);
    ~OptimizationRun();
    OptimizationRun(const OptimizationRun &) = delete;
    OptimizationRun &operator=(const OptimizationRun &) = delete;

    // The two lines the dialog opens with.
    void begin();

    // The run, reading the project from its file. The ticks decide what the
    // report holds besides the run's lines.
    void run(bool withProjectData, bool withConfigData);

    // Called with the homepage path when the user lets the template wizard
    // make the missing template. Without one (on the command line) there is
    // nobody to make it, so OK to "Vorlage fehlt" ends the run like Abbruch
    // instead of asking for ever.
    using TemplateWizard = std::function<void(const std::string &homepagePath)>;
    void setTemplateWizard(TemplateWizard wizard) { m_templateWizard = std::move(wizard); }
    // Where the hidden elements of copies and doorway documents go; the
    // program's generator unless a test fixes them.
    void setRandomSource(RandomSource *random) { m_random = random; }

    RunLog &log() { return m_log; }
    const RunLog &log() const { return m_log; }

    bool hasRun() const { return m_hasRun; }
    bool reportWritten() const { return m_reportWritten; }
    const std::string &reportText() const { return m_report; }
    std::string reportPath() const;
    const std::string &homepageDirectory() const { return m_homepageDirectory; }

    // "Report speichern...": writes the copy that refers to back.gif beside
    // it, shows the failure boxes itself. True when written.
    bool saveReport(const std::string &path);

    // The example documents of the three buttons; nothing when there is none
    // (the box "Kein Dokument vorhanden" is then the caller's to show, or
    // use the open functions below, which show it).
    std::optional<std::string> copyExamplePath() const;
    std::optional<std::string> doorwayExamplePath(bool longest) const;
    bool openReport();
    void openCopyExample();
    void openDoorwayExample(bool longest);

    // Leaving the dialog: after a run the report file goes and the dialog may
    // close; without one the user is asked. True when the dialog may close.
    bool leave();

    // The parts the copy and doorway steps fill in.
    const StartSigns &startSigns() const { return m_signs; }
    const DoorwayTerms &doorwayTerms() const { return m_doorways; }
    bool noCopyMade() const { return m_noCopyMade; }
    bool noDoorwayMade() const { return m_noDoorwayMade; }
    // The id of this run's backup, for undoing it; empty before the backup
    // was made.
    const std::string &backupId() const { return m_backup.id(); }

private:
    enum class Step { Go, End, Skip }; // Skip: this document is left out, the run goes on

    void abort(const std::string &error, const std::string &todo);
    // The error for a file that could not be written, told by the reason
    // the system gave (a full disk is not a matter of closing programs).
    void abortCannotWrite(const std::string &path);
    Step readProject();
    void readHomepageUrl();
    Step checkTemplateLoop();
    Step beginBackup();
    void removeOldResults();
    // Removal of one old result: recorded outputs and, for sites optimised
    // before the record was kept, our marked documents.
    void removeOldFile(const std::string &path);
    void removeOldDirectory(const std::string &path);
    bool isLegacyDocument(const std::string &path) const;
    bool removeSiteEntry(const std::string &path);
    // Every file of the site the run writes goes through here: kept for undo
    // first, confined to the site, recorded as ours when generated.
    enum class Write { Done, Refused, Failed };
    Write writeSiteFile(const std::string &path, const std::string &content, const files::AtomicWrite &how,
                        bool generated = true);
    // Keeps what is at the path for undo, or notes that the run makes it, and
    // clears a link inside the site that the file is to replace.
    bool makeWayFor(const std::string &path, SiteGuard::Verdict verdict);
    // A directory the run makes or fills; false (with a warning) when it is
    // a link or lies outside the site.
    bool prepareDirectory(const std::string &path);
    void warnLink(const std::string &path);
    Step readHomepage();
    Step checkHomepage();
    Step makeCopies();
    Step makeDoorwayPages();
    Step makeCopyFile(int copy, int variant);
    Step makeDoorway(int slot);
    std::string doorwayDirectory(const std::string &term) const;
    // The template as working text, and how its documents are encoded.
    bool readTemplate(const std::string &path, std::string &text, PageEncoding &encoding);
    PageContext pageContext();
    void optimizeHomepage();
    Step writeHomepage();
    void recordRun();
    void closeRun();
    void finish();

    Ui &m_ui;
    std::string m_project;
    RunLog m_log;
    TemplateWizard m_templateWizard;

    bool m_hasRun = false;
    bool m_reportWritten = false;
    bool m_withProjectData = true;
    bool m_withConfigData = true;
    std::string m_homepagePath;
    std::string m_homepageDirectory;
    std::string m_page;
    std::string m_report;

    StartSigns m_signs;
    DoorwayTerms m_doorways;
    bool m_noCopyMade = true;
    bool m_noDoorwayMade = true;
    struct Template {
        std::string text; // working text
        PageEncoding encoding;
    };
    std::map<std::string, std::optional<Template>> m_templates; // nothing: cannot be read
    // Every page is edited as cp1252 working text and written back in its
    // own encoding.
    WorkingText m_working;
    PageEncoding m_homepageEncoding;
    std::string m_textBlocks;
    bool m_textBlocksRead = false;
    RandomSource *m_random = nullptr;
    // The homepage's address for canonical and og:url, read once per run.
    std::string m_homepageUrl;
    // What the head elements of today's web put into the copies and doorway
    // documents, told once after each step rather than per document.
    ModernHeadWritten m_copyHeads;
    ModernHeadWritten m_doorwayHeads;
    bool m_pageHasFrames = false;
    bool m_pageHasNoframes = false;

    std::unique_ptr<SiteGuard> m_guard;
    OutputManifest m_manifest;
    RunBackup m_backup;
};

} // namespace vantor
