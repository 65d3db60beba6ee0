#include "optimizer/FindLiteral.h"
#include "optimizer/HeadElements.h"

#include "optimizer/DoorwayTerms.h"
#include "optimizer/PageText.h"
#include "optimizer/RunLog.h"
#include "optimizer/StartSigns.h"
#include "optimizer/TermText.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"

namespace vantor {

namespace {


// Each element we replace goes with the line end it was inserted with, so
// that its successor takes its place instead of a line of its own.
void removeMeta(const std::string &name, const std::string &lineEnd, std::string &page)
{
    const std::string upper = upperCp1252(name);
    for (const std::string &spelling : {"name=\"" + name + "\"", "name=\"" + upper + "\"", "NAME=\"" + upper + "\"",
                                        "NAME=\"" + name + "\""})
        if (containsLiteral(page, spelling))
            removeEnclosing('<', '>', spelling, page, lineEnd);
}

void insertMeta(const std::string &name, const std::string &content, const std::string &lineEnd,
                std::string &page)
{
    insertAfterHeadTag("<META NAME=\"" + name + "\" CONTENT=\"" + content + "\">" + lineEnd, page);
}

void writeRobots(const std::string &lineEnd, std::string &page)
{
    removeMeta("robots", lineEnd, page);
    insertAfterHeadTag(lineEnd, page);
    insertAfterHeadTag("<META NAME=\"robots\" CONTENT=\"index, follow\">", page);
}

void removeHomeLinks(const std::string &lineEnd, std::string &page)
{
    for (const char *spelling : {"<link rel=Home", "<LINK REL=Home"})
        if (containsLiteral(page, spelling))
            removeEnclosing('<', '>', spelling, page, lineEnd);
}

// Up to three title elements of each spelling; pages that have several get
// them all taken away.
void removeTitles(const std::string &lineEnd, std::string &page, int times)
{
    for (int i = 0; i < times; ++i) {
        cutBetween("<title", "</title>", page, lineEnd);
        cutBetween("<TITLE", "</TITLE>", page, lineEnd);
    }
}

} // namespace

void replaceMeta(const std::string &name, const std::string &content, const std::string &lineEnd,
                 std::string &page)
{
    removeMeta(name, lineEnd, page);
    insertMeta(name, content, lineEnd, page);
}

void writeHomepageHeader(const PageContext &context, std::string &page)
{
    const ProjectRecord &record = *context.record;
    const ProjectOptions &options = *context.options;
    const std::string &le = context.lineEnd;
    const std::string author = entityForm(record.author.view());
    RunLog &log = *context.log;

    if (ProjectOptions::forHomepage(options.auth)) {
        if (!record.author.empty())
            replaceMeta("author", author, le, page);
        else
            log.logLine(de("     WARNUNG: Autor der Homepage nicht vorhanden und nicht eingefügt"), LineKind::Warning);
    }
    if (ProjectOptions::forHomepage(options.robo))
        writeRobots(le, page);
    if (ProjectOptions::forHomepage(options.gene)) {
        if (!record.author.empty())
            replaceMeta("generator", author, le, page);
        else
            log.logLine(de("     WARNUNG: Generator (Autor) der Homepage nicht vorhanden und nicht eingefügt"),
                        LineKind::Warning);
    }
    if (ProjectOptions::forHomepage(options.copy)) {
        if (!record.author.empty())
            replaceMeta("copyright", author, le, page);
        else
            log.logLine(de("     WARNUNG: Copyright (Autor) nicht vorhanden und nicht eingefügt"), LineKind::Warning);
    }
    if (ProjectOptions::forHomepage(options.link)) {
        removeHomeLinks(le, page);
        insertAfterHeadTag(le, page);
        insertAfterHeadTag("<LINK REL=Home>", page);
    }
}

void writeHomepageHtmlData(const PageContext &context, std::string &page)
{
    const ProjectRecord &record = *context.record;
    const ProjectOptions &options = *context.options;
    const std::string &le = context.lineEnd;
    RunLog &log = *context.log;

    if (ProjectOptions::forHomepage(options.desc)) {
        if (!record.description.empty()) {
            replaceMeta("description", entityForm(record.description.view()), le, page);
        } else {
            log.logLine(de("     WARNUNG: Beschreibung der Homepage nicht vorhanden und nicht eingefügt"),
                        LineKind::Warning);
            log.addTodo(de("Fügen Sie im Wizard eine Beschreibung der Homepage ein."));
        }
    }
    if (ProjectOptions::forHomepage(options.keyw)) {
        // As the user typed them: the list is what he sees in the wizard.
        std::string keywords;
        for (const auto &term : record.homepageKeywords)
            if (!term.empty())
                keywords.append(term.view()).append(", ");
        if (keywords.empty()) {
            log.logLine(de("     WARNUNG: Suchbegriffe der Homepage nicht vorhanden und nicht eingefügt"),
                        LineKind::Warning);
            log.addTodo(de("Fügen Sie im Wizard Suchbegriffe für die Homepage ein."));
        } else {
            replaceMeta("keywords", keywords, le, page);
        }
    }
    if (ProjectOptions::forHomepage(options.titl)) {
        if (record.title1.empty() && record.title2.empty() && record.title3.empty()) {
            log.logLine(de("     WARNUNG: Titel für Homepage nicht vorhanden und nicht eingefügt"), LineKind::Warning);
            log.addTodo(de("Fügen Sie im Wizard einen Titel für die Homepage ein."));
        } else {
            removeTitles(le, page, 3);
            if (!record.title1.empty())
                insertBefore("<TITLE> " + entityForm(record.title1.view()) + " </TITLE>" + le, "</HEAD", page);
        }
    }
}

void writeCopyHead(const PageContext &context, std::string &page, int copy, int variant)
{
    const ProjectRecord &record = *context.record;
    const ProjectOptions &options = *context.options;
    const std::string &le = context.lineEnd;
    const auto &terms = record.copyKeywords[static_cast<std::size_t>(copy - 1)];
    const std::string author = entityForm(record.author.view());
    const bool hasAuthor = !record.author.empty();

    if (ProjectOptions::forCopies(options.auth) && variant == 0 && hasAuthor)
        replaceMeta("author", author, le, page);
    if (ProjectOptions::forCopies(options.robo))
        writeRobots(le, page);
    if (ProjectOptions::forCopies(options.gene) && variant == 0 && hasAuthor)
        replaceMeta("generator", author, le, page);
    if (ProjectOptions::forCopies(options.copy) && hasAuthor)
        replaceMeta("copyright", author, le, page);
    if (ProjectOptions::forCopies(options.link)) {
        // A copy is no homepage; it points on to the next copy instead.
        removeHomeLinks(le, page);
        if (copy < ProjectRecord::kCopies) {
            const auto &next = record.copyKeywords[static_cast<std::size_t>(copy)][static_cast<std::size_t>(variant)];
            if (!next.empty())
                insertAfterHeadTag("<LINK REL=Next HREF=" + context.copyLink(variant, next.str()) + ">" + le,
                                   page);
        }
    }
    if (ProjectOptions::forCopies(options.desc)) {
        const auto &own = record.copyDescriptions[static_cast<std::size_t>(copy - 1)];
        const std::string_view description = (options.deco != 0 && !own.empty()) ? own.view()
                                                                                  : record.description.view();
        if (!description.empty())
            replaceMeta("description", entityForm(terms[0].view()) + ": " + entityForm(description), le, page);
    }
    if (ProjectOptions::forCopies(options.keyw)) {
        std::string keywords;
        for (const auto &term : terms)
            if (!term.empty())
                keywords.append(entityForm(term.view())).append(", ");
        if (variant == 0)
            for (const auto &term : terms)
                if (!term.empty())
                    keywords.append(entityForm(upperCp1252(term.view()))).append(", ");
        if (!keywords.empty())
            replaceMeta("keywords", keywords, le, page);
    }
    if (ProjectOptions::forCopies(options.titl)) {
        removeTitles(le, page, 3);
        const auto &ownTitle = record.copyTitles[static_cast<std::size_t>(copy - 1)];
        const std::string second = entityForm(options.tico != 0 && !ownTitle.empty() ? ownTitle.view()
                                                                                       : record.title1.view());
        const std::string open = ProjectOptions::forCopies(options.buch) ? "<TITLE> !" : "<TITLE> ";
        insertAfterHeadTag(open + entityForm(terms[0].view()) + " - " + second + " </TITLE>" + le, page);
        if (variant == 0) {
            std::string title = "<TITLE>" + entityForm(record.title2.view()) + " ";
            for (const auto &term : terms)
                if (!term.empty())
                    title.append(entityForm(term.view())).append(" ");
            insertBefore(title + "</TITLE>" + le, "</HEAD", page);
        }
    }
}

void writeDoorwayHead(const PageContext &context, std::string &page, const std::string &term, int slot,
                      int variant)
{
    const ProjectRecord &record = *context.record;
    const ProjectOptions &options = *context.options;
    const std::string &le = context.lineEnd;
    const bool hasAuthor = !record.author.empty();
    const std::string author = entityForm(record.author.view());
    const std::string t = entityForm(term);
    const std::string upperT = entityForm(upperCp1252(term));

    const auto authorElement = [&](int option, const char *name) {
        if (!ProjectOptions::forCopies(option))
            return;
        if (hasAuthor || variant == 1)
            removeMeta(name, le, page);
        // The index document keeps an empty element where the template had
        // one; the term document goes without.
        if (hasAuthor || variant == 0)
            insertMeta(name, author, le, page);
    };
    authorElement(options.auth, "author");
    if (ProjectOptions::forCopies(options.robo))
        writeRobots(le, page);
    authorElement(options.gene, "generator");
    authorElement(options.copy, "copyright");
    if (variant == 0 && ProjectOptions::forCopies(options.link)) {
        const int next = context.nextDoorwaySlot(slot);
        if (next >= 0) {
            const std::string &nextTerm = context.doorways->slots[static_cast<std::size_t>(next)].term;
            insertAfterHeadTag("<LINK REL=Next HREF=\"../" + context.doorwayLink(nextTerm) + "\">" + le, page);
        }
    }
    if (ProjectOptions::forCopies(options.desc) && !record.description.empty())
        replaceMeta("description", entityForm(record.description.view()), le, page);
    if (ProjectOptions::forCopies(options.keyw)) {
        std::string keywords = t;
        if (variant == 0) {
            const std::string lowerT = entityForm(lowerCp1252(term));
            for (std::size_t k = 0; k < record.homepageKeywords.size(); ++k) {
                const auto &homepageTerm = record.homepageKeywords[k];
                if (homepageTerm.empty())
                    continue;
                keywords.append(", ").append(entityForm(homepageTerm.view()));
                if (k % 10 == 9)
                    keywords.append(", ").append(lowerT);
            }
        }
        replaceMeta("keywords", keywords, le, page);
    } else if (variant == 1 && ReadExpertFlag("usespecialkeywordrule") != 0) {
        replaceMeta("keywords", t, le, page);
    }
    if (ProjectOptions::forCopies(options.titl)) {
        removeTitles(le, page, 1);
        if (!term.empty() && !record.title1.empty()) {
            const std::string open = ProjectOptions::forCopies(options.buch) ? "<TITLE> !" : "<TITLE> ";
            insertAfterHeadTag(open + t + " - " + entityForm(record.title1.view()) + " - " + upperT + "</TITLE>" + le,
                               page);
        }
        if (!term.empty() && !record.title2.empty())
            insertBefore("<TITLE> " + t + " - " + entityForm(record.title2.view()) + " - " + upperT + " " + t +
                             "</TITLE>" + le,
                         "</HEAD", page);
    }
}

} // namespace vantor
