#include "optimizer/FindLiteral.h"
#include "optimizer/HeadElements.h"

#include "optimizer/DoorwayTerms.h"
#include "optimizer/PageText.h"
#include "optimizer/RunLog.h"
#include "optimizer/StartSigns.h"
#include "optimizer/TermText.h"
#include "platform/HtmlTags.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace vantor {

using html::findIgnoringCase;
using html::hasWord;
using html::lowerAsciiText;
using html::readAttributes;
using html::StartTag;
using html::trimmed;

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

// A copy's own title and description when tico and deco let them stand,
// else the homepage's, after the copy's first term; in entity form, as the
// TITLE and META elements and og: take them.
std::string copyTitle(const PageContext &context, int copy)
{
    const ProjectRecord &record = *context.record;
    const std::size_t index = static_cast<std::size_t>(copy - 1);
    const auto &ownTitle = record.copyTitles[index];
    const std::string second = entityForm(context.options->tico != 0 && !ownTitle.empty() ? ownTitle.view()
                                                                                          : record.title1.view());
    return entityForm(record.copyKeywords[index][0].view()) + " - " + second;
}

// Empty when neither the copy nor the homepage has a description.
std::string copyDescription(const PageContext &context, int copy)
{
    const ProjectRecord &record = *context.record;
    const std::size_t index = static_cast<std::size_t>(copy - 1);
    const auto &own = record.copyDescriptions[index];
    const std::string_view description = (context.options->deco != 0 && !own.empty()) ? own.view()
                                                                                       : record.description.view();
    if (description.empty())
        return {};
    return entityForm(record.copyKeywords[index][0].view()) + ": " + entityForm(description);
}

// ---- The head elements of today's web ----------------------------------
//
// Unlike the META elements above these are found by what a browser reads,
// not by a few spellings: a canonical the page's editor wrote as
// <LINK HREF=... REL='Canonical'> is one all the same, and a second one
// beside ours would leave the engines to guess.

// The start tags of one element (name in lower case) between from and to.
// Comments and the text of script, style and title elements are passed
// over: what looks like markup there is none.
std::vector<StartTag> startTags(std::string_view page, std::size_t from, std::size_t to, std::string_view name)
{
    std::vector<StartTag> tags;
    std::size_t i = from;
    while ((i = page.find('<', i)) != std::string_view::npos && i < to) {
        if (page.compare(i, 4, "<!--") == 0) {
            const std::size_t close = page.find("-->", i + 4);
            if (close == std::string_view::npos)
                break;
            i = close + 3;
            continue;
        }
        std::size_t j = i + 1;
        while (j < page.size() && html::isAsciiAlnum(page[j]))
            ++j;
        if (j == i + 1) {
            ++i;
            continue;
        }
        const std::string tagName = lowerAsciiText(page.substr(i + 1, j - i - 1));
        StartTag tag;
        tag.begin = i;
        tag.nameEnd = j;
        tag.end = readAttributes(page, j, tag);
        if (tag.end == std::string_view::npos || tag.end > to)
            break;
        i = tag.end;
        if (tagName == name) {
            tags.push_back(std::move(tag));
        } else if (tagName == "script" || tagName == "style" || tagName == "title") {
            const std::size_t close = findIgnoringCase(page, "</" + tagName, i);
            if (close == std::string_view::npos)
                break;
            i = close;
        }
    }
    return tags;
}

// Where the head's content lies: after the head tag's '>' up to its end
// tag. False for a page without both, which gets no head elements.
bool headRange(std::string_view page, std::size_t &from, std::size_t &to)
{
    const std::size_t open = findTag(page, "<head");
    const std::size_t close = findTag(page, "</head");
    if (open == std::string::npos || close == std::string::npos || close < open)
        return false;
    const std::size_t openEnd = page.find('>', open);
    if (openEnd == std::string::npos || openEnd > close)
        return false;
    from = openEnd + 1;
    to = close;
    return true;
}

// Takes every tag of the head that picks finds away, each with the line end
// it was inserted with. The head is looked at afresh after each: the
// positions behind a removal have moved.
template <typename Picks>
void removeFromHead(std::string &page, std::string_view name, const std::string &lineEnd, Picks picks)
{
    for (;;) {
        std::size_t from = 0;
        std::size_t to = 0;
        if (!headRange(page, from, to))
            return;
        bool removed = false;
        for (const StartTag &tag : startTags(page, from, to, name)) {
            if (picks(tag)) {
                eraseWithLineEnds(page, tag.begin, tag.end, lineEnd, false, true);
                removed = true;
                break;
            }
        }
        if (!removed)
            return;
    }
}

bool headHas(const std::string &page, std::string_view name, const std::function<bool(const StartTag &)> &picks)
{
    std::size_t from = 0;
    std::size_t to = 0;
    if (!headRange(page, from, to))
        return false;
    const std::vector<StartTag> tags = startTags(page, from, to, name);
    return std::any_of(tags.begin(), tags.end(), picks);
}

bool isCanonical(const StartTag &tag)
{
    const auto rel = tag.attribute("rel");
    return rel && hasWord(*rel, "canonical");
}

bool isViewport(const StartTag &tag)
{
    const auto name = tag.attribute("name");
    return name && equalsIgnoreAsciiCase(trimmed(*name), "viewport");
}

// Open Graph takes property; some editors write name, which the readers
// accept as well.
bool isOpenGraph(const StartTag &tag, std::string_view property)
{
    for (const char *attribute : {"property", "name"}) {
        const auto value = tag.attribute(attribute);
        if (value && equalsIgnoreAsciiCase(trimmed(*value), property))
            return true;
    }
    return false;
}

const char *const kViewport = "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">";

// Text in entity form as an attribute value: a quote would end it, and the
// rest of the markup is kept out for the readers that are strict about it.
std::string attributeForm(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '"': out += "&quot;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
    return out;
}

// An address as an attribute value. No named entities: the sitemap (and
// every engine) compares it with the address it knows, and reads only the
// references an address is written with.
std::string addressForm(std::string_view url)
{
    std::string out;
    out.reserve(url.size());
    for (const char c : url) {
        if (c == '&')
            out += "&amp;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

// Our elements go on lines of their own at the end of the head: after the
// charset declaration, which has to stay within the page's first bytes, and
// where a later run finds the same place again. Before the blanks that
// indent the end tag, so that it keeps them.
void insertAtHeadEnd(const std::string &element, const std::string &lineEnd, std::string &page)
{
    std::size_t from = 0;
    std::size_t at = 0;
    if (!headRange(page, from, at))
        return;
    std::size_t lineStart = at;
    while (lineStart > from && (page[lineStart - 1] == ' ' || page[lineStart - 1] == '\t'))
        --lineStart;
    if (lineStart > from && (page[lineStart - 1] == '\n' || page[lineStart - 1] == '\r'))
        at = lineStart;
    page.insert(at, element + lineEnd);
}

struct ModernHeadRequest {
    bool canonical = false;
    bool viewport = false;
    bool lang = false;
    bool openGraph = false;
    // In entity form; empty leaves the og: element out.
    std::string title;
    std::string description;

    // What the options ask of the homepage (HP) or of copies and doorway
    // pages (ZK).
    static ModernHeadRequest of(const ProjectOptions &options, bool homepage)
    {
        const auto on = [homepage](int value) {
            return homepage ? ProjectOptions::forHomepage(value) : ProjectOptions::forCopies(value);
        };
        return {on(options.cano), on(options.view), on(options.lang), on(options.ogtg), {}, {}};
    }
    bool any() const { return canonical || viewport || lang || openGraph; }
};

// The first title of a doorway document, as its TITLE element has it.
std::string doorwayTitle(const std::string &term, const ProjectRecord &record)
{
    return entityForm(term) + " - " + entityForm(record.title1.view()) + " - " + entityForm(upperCp1252(term));
}

// A page in which viewport was kept is told by keptViewport.
ModernHeadWritten writeModernHead(const PageContext &context, std::string &page, const ModernHeadRequest &request,
                                  bool &keptViewport)
{
    ModernHeadWritten written;
    keptViewport = false;
    const std::string &le = context.lineEnd;
    const std::string &url = context.homepageUrl;

    if (request.lang) {
        // On <html> itself, which a page without a head may have as well.
        const std::size_t html = findTag(page, "<html");
        if (html != std::string::npos) {
            StartTag tag;
            const std::size_t nameEnd = html + 5;
            if (readAttributes(page, nameEnd, tag) != std::string_view::npos && !tag.attribute("lang") &&
                !tag.attribute("xml:lang")) {
                page.insert(nameEnd, " lang=\"de\"");
                written.lang = 1;
            }
        }
    }

    std::size_t from = 0;
    std::size_t to = 0;
    if (!headRange(page, from, to))
        return written;

    // Everything of ours goes first and comes back in one order, so that a
    // page optimised again has its head as the first run left it.
    const bool canonical = request.canonical && !url.empty();
    const bool ogTitle = request.openGraph && !request.title.empty();
    const bool ogDescription = request.openGraph && !request.description.empty();
    const bool ogUrl = request.openGraph && !url.empty();
    if (canonical)
        removeFromHead(page, "link", le, isCanonical);
    if (request.viewport)
        for (std::size_t at = findLiteral(page, kViewport); at != std::string::npos && at < page.size();
             at = findLiteral(page, kViewport, at)) {
            if (!headRange(page, from, to) || at >= to)
                break;
            eraseWithLineEnds(page, at, at + std::string_view(kViewport).size(), le, false, true);
        }
    const auto removeOpenGraph = [&](bool wanted, std::string_view property) {
        if (wanted)
            removeFromHead(page, "meta", le, [property](const StartTag &tag) { return isOpenGraph(tag, property); });
    };
    removeOpenGraph(ogTitle, "og:title");
    removeOpenGraph(ogDescription, "og:description");
    removeOpenGraph(ogUrl, "og:url");

    if (canonical) {
        insertAtHeadEnd("<link rel=\"canonical\" href=\"" + addressForm(url) + "\">", le, page);
        written.canonical = 1;
    }
    if (request.viewport) {
        if (headHas(page, "meta", isViewport)) {
            keptViewport = true;
        } else {
            insertAtHeadEnd(kViewport, le, page);
            written.viewport = 1;
        }
    }
    if (ogTitle) {
        insertAtHeadEnd("<meta property=\"og:title\" content=\"" + attributeForm(request.title) + "\">", le, page);
        written.ogTitle = 1;
    }
    if (ogDescription) {
        insertAtHeadEnd("<meta property=\"og:description\" content=\"" + attributeForm(request.description) +
                            "\">",
                        le, page);
        written.ogDescription = 1;
    }
    if (ogUrl) {
        insertAtHeadEnd("<meta property=\"og:url\" content=\"" + addressForm(url) + "\">", le, page);
        written.ogUrl = 1;
    }
    return written;
}

std::string documentCount(int count, const std::string &oneDocument, const std::string &documents)
{
    return std::to_string(count) + " " + (count == 1 ? oneDocument : documents);
}

} // namespace

ModernHeadWritten &ModernHeadWritten::operator+=(const ModernHeadWritten &other)
{
    canonical += other.canonical;
    viewport += other.viewport;
    lang += other.lang;
    ogTitle += other.ogTitle;
    ogDescription += other.ogDescription;
    ogUrl += other.ogUrl;
    return *this;
}

ModernHeadWritten writeHomepageModernHead(const PageContext &context, std::string &page)
{
    const ProjectRecord &record = *context.record;
    ModernHeadRequest request = ModernHeadRequest::of(*context.options, true);
    if (!request.any())
        return {};
    request.title = entityForm(record.title1.view());
    request.description = entityForm(record.description.view());
    bool keptViewport = false;
    const ModernHeadWritten written = writeModernHead(context, page, request, keptViewport);

    RunLog &log = *context.log;
    const std::string &url = context.homepageUrl;
    if (written.canonical != 0)
        log.logLine(de("     canonical eingefügt: ") + url, LineKind::Normal);
    if (written.viewport != 0)
        log.logLine(de("     viewport eingefügt"), LineKind::Normal);
    if (keptViewport)
        log.logLine(de("     viewport der Homepage beibehalten"), LineKind::Normal);
    if (written.lang != 0)
        log.logLine(de("     lang=\"de\" eingefügt"), LineKind::Normal);
    if (written.ogTitle != 0)
        log.logLine(de("     og:title eingefügt"), LineKind::Normal);
    if (written.ogDescription != 0)
        log.logLine(de("     og:description eingefügt"), LineKind::Normal);
    if (written.ogUrl != 0)
        log.logLine(de("     og:url eingefügt: ") + url, LineKind::Normal);
    return written;
}

ModernHeadWritten writeCopyModernHead(const PageContext &context, std::string &page, int copy)
{
    // A copy repeats the homepage: its canonical names the homepage's
    // address, which is what the engines are to list.
    ModernHeadRequest request = ModernHeadRequest::of(*context.options, false);
    if (!request.any())
        return {};
    if (request.openGraph) {
        request.title = copyTitle(context, copy);
        request.description = copyDescription(context, copy);
    }
    bool keptViewport = false;
    return writeModernHead(context, page, request, keptViewport);
}

ModernHeadWritten writeDoorwayModernHead(const PageContext &context, std::string &page, const std::string &term)
{
    const ProjectRecord &record = *context.record;
    ModernHeadRequest request = ModernHeadRequest::of(*context.options, false);
    if (!request.any())
        return {};
    // The texts of the document's first title and of its META description.
    if (!term.empty() && !record.title1.empty())
        request.title = doorwayTitle(term, record);
    request.description = entityForm(record.description.view());
    bool keptViewport = false;
    return writeModernHead(context, page, request, keptViewport);
}

void logModernHeadCounts(RunLog &log, const ModernHeadWritten &counts, const std::string &homepageUrl,
                         const std::string &oneDocument, const std::string &documents)
{
    const auto line = [&](int count, const std::string &element, const std::string &url) {
        if (count > 0)
            log.logLine("     " + element + de(" eingefügt in ") + documentCount(count, oneDocument, documents) +
                            (url.empty() ? std::string() : ": " + url),
                        LineKind::Normal);
    };
    line(counts.canonical, "canonical", homepageUrl);
    line(counts.viewport, "viewport", {});
    line(counts.lang, "lang=\"de\"", {});
    line(counts.ogTitle, "og:title", {});
    line(counts.ogDescription, "og:description", {});
    line(counts.ogUrl, "og:url", homepageUrl);
}

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
        const std::string description = copyDescription(context, copy);
        if (!description.empty())
            replaceMeta("description", description, le, page);
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
        const std::string open = ProjectOptions::forCopies(options.buch) ? "<TITLE> !" : "<TITLE> ";
        insertAfterHeadTag(open + copyTitle(context, copy) + " </TITLE>" + le, page);
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
            insertAfterHeadTag(open + doorwayTitle(term, record) + "</TITLE>" + le, page);
        }
        if (!term.empty() && !record.title2.empty())
            insertBefore("<TITLE> " + t + " - " + entityForm(record.title2.view()) + " - " + upperT + " " + t +
                             "</TITLE>" + le,
                         "</HEAD", page);
    }
}

} // namespace vantor
