#include "optimizer/HiddenElements.h"

#include "optimizer/DoorwayTerms.h"
#include "optimizer/FindLiteral.h"
#include "optimizer/HeadElements.h"
#include "optimizer/PageText.h"
#include "optimizer/RandomSource.h"
#include "optimizer/RunLog.h"
#include "optimizer/StartSigns.h"
#include "optimizer/TermText.h"
#include "platform/Text.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"

#include <array>
#include <vector>

namespace vantor {

namespace {

constexpr std::size_t npos = std::string::npos;


// Inserts before the first of the anchors that occurs; false when none does.
bool insertBeforeFirstOf(const std::string &insertion, std::initializer_list<const char *> anchors,
                         std::string &page)
{
    for (const char *anchor : anchors)
        if (insertBefore(insertion, anchor, page))
            return true;
    return false;
}

const char *firstPresent(const std::string &page, const char *a, const char *b)
{
    return containsLiteral(page, a) ? a : b;
}

std::string framesWarning(const char *what)
{
    return de(std::string("     WARNUNG: ") + what +
              " nicht eingefügt, da Seite Frames enthält und \"NoFrames Tag\" in der Konfiguration deaktiviert ist");
}

// ---- frames -------------------------------------------------------------

void addMissingNoframesEnd(std::string &page)
{
    if (!containsLiteral(page, "</noframes>") && !containsLiteral(page, "</NOFRAMES>"))
        insertBefore("</NOFRAMES>", firstPresent(page, "</HTML>", "</html>"), page);
}

void addMissingBodyEnd(std::string &page)
{
    if (!containsLiteral(page, "</body") && !containsLiteral(page, "</BODY"))
        insertBefore("</BODY>", firstPresent(page, "</NOFRAMES>", "</noframes>"), page);
}

// ---- placement ------------------------------------------------------------

struct Anchor {
    std::string_view literal;
    bool after = false;
};
using Row = std::vector<Anchor>;
using Table = std::array<Row, 15>;

constexpr Anchor before(std::string_view literal) { return {literal, false}; }
constexpr Anchor after(std::string_view literal) { return {literal, true}; }

const Table &copyHeadingTable()
{
    static const Table table = {{
        {before("<blockquote>"), before("<BLOCKQUOTE>"), after("<p>"), after("<P>"), before("</BODY")},
        {before("<b>"), before("<B>"), before("<strong>"), before("<STRONG>"), before("</BODY")},
        {after("</b>"), after("</B>"), after("</strong>"), after("</STRONG>"), before("</BODY")},
        {before("<p>"), before("<P>"), before("</BODY")},
        {before("<a href"), before("<A HREF"), before("</BODY")},
        {after("</a>"), after("</A>"), before("</BODY")},
        {before("</blockquote>"), before("</BLOCKQUOTE>"), after("</p>"), after("</P>"), after("</form>"),
         after("</FORM>"), before("</BODY")},
        {after("</form>"), after("</FORM>"), before("<br>"), before("<BR>"), before("</BODY")},
        {before("<font"), before("<FONT"), before("</BODY")},
        {after("</td>"), after("</TD>"), before("</BODY")},
        {after("</tr>"), after("</TR>"), before("</BODY")},
        {before("<table"), before("<TABLE"), before("</BODY")},
        {before("<br>"), before("<BR>"), before("</BODY")},
        {before("</BODY")},
        {after("</font>"), after("</FONT>"), before("</BODY")},
    }};
    return table;
}

// The other elements take the rows of the heading's table in another order,
// so that in one document they seldom end up side by side.
int rowShift(Placement table)
{
    switch (table) {
    case Placement::CopyHeading:
    case Placement::DoorwayHeading:
        return 0;
    case Placement::CopyLink:
    case Placement::DoorwayLink:
        return 4;
    case Placement::CopyComment:
    case Placement::DoorwayComment:
        return 9;
    case Placement::CopyForm:
    case Placement::DoorwayForm:
        return 12;
    }
    return 0;
}

bool isDoorwayTable(Placement table)
{
    return table == Placement::DoorwayHeading || table == Placement::DoorwayForm ||
           table == Placement::DoorwayComment || table == Placement::DoorwayLink;
}

// Where the body begins: anchors in the head (a <b> in a script, a
// placeholder in the keywords) would put our elements where they break the
// page.
std::size_t bodyStart(const std::string &page)
{
    std::size_t pos = findLiteral(page, "<BODY");
    if (pos == npos)
        pos = findLiteral(page, "<body");
    return pos == npos ? 0 : pos;
}

// A placeholder may stand in an attribute (alt="%Suchbegriff%"); an element
// put there would end the tag early.
bool insideTag(const std::string &page, std::size_t pos, std::size_t lowest)
{
    for (std::size_t i = pos; i-- > lowest;) {
        if (page[i] == '>')
            return false;
        if (page[i] == '<')
            return true;
    }
    return false;
}

bool placeAt(const Row &row, bool withPlaceholders, const std::string &insertion, std::string &page)
{
    const std::size_t start = bodyStart(page);
    const auto tryAnchor = [&](const Anchor &anchor, bool checkTag) {
        const std::size_t pos = findLiteral(page, anchor.literal, start);
        if (pos == npos || (checkTag && insideTag(page, pos, start)))
            return false;
        page.insert(anchor.after ? pos + anchor.literal.size() : pos, insertion);
        return true;
    };
    for (const Anchor &anchor : row) {
        if (anchor.literal == "</BODY" && withPlaceholders) {
            for (const std::string_view placeholder : {"%Firma%", "%Suchbegriff%"})
                if (tryAnchor(before(placeholder), true))
                    return true;
        }
        if (tryAnchor(anchor, false))
            return true;
    }
    return insertBefore(insertion, "</body", page);
}

// The order in which a document's groups of hidden elements are written:
// heading, comment, form, links.
enum Group { Heading, Comment, Form, Links };
const std::array<std::array<Group, 4>, 15> kGroupOrders = {{
    {Heading, Comment, Form, Links},
    {Links, Heading, Comment, Form},
    {Form, Links, Heading, Comment},
    {Comment, Form, Links, Heading},
    {Heading, Form, Comment, Links},
    {Links, Form, Heading, Comment},
    {Comment, Links, Form, Heading},
    {Form, Heading, Links, Comment},
    {Heading, Links, Form, Comment},
    {Comment, Heading, Links, Form},
    {Form, Comment, Heading, Links},
    {Links, Comment, Form, Heading},
    {Heading, Comment, Links, Form},
    {Form, Links, Comment, Heading},
    {Comment, Form, Heading, Links},
}};

int drawRow(const PageContext &context)
{
    RandomSource &random = context.random != nullptr ? *context.random : RandomSource::standard();
    return random.row();
}

// Writes the four element groups of a copy or doorway document in the order
// one drawn row gives.
template<typename Heading_, typename Comment_, typename Form_, typename Links_>
void writeGroups(const PageContext &context, Heading_ &&heading, Comment_ &&comment, Form_ &&form, Links_ &&links)
{
    for (const Group group : kGroupOrders[static_cast<std::size_t>(drawRow(context))]) {
        switch (group) {
        case Heading:
            heading();
            break;
        case Comment:
            comment();
            break;
        case Form:
            form();
            break;
        case Links:
            links();
            break;
        }
    }
}

// ---- the elements -----------------------------------------------------------

// The elements of an earlier run go with the line ends they were inserted
// with: the heading and the comment heading stand on lines of their own, the
// form is followed by one.
void removeOldHeadings(std::string &page, const std::string &le)
{
    if (containsLiteral(page, "<qx!>")) {
        removeMarkedBlocks("<H1>", "</H1>", "<qx!>", page, 10, le, true, true);
        removeMarkedBlocks("<h1>", "</h1>", "<qx!>", page, 10, le, true, true);
    }
}

void removeOldForms(std::string &page, const std::string &le)
{
    for (const char *marker : {"value=\"qx!", "VALUE=\"qx!"}) {
        if (containsLiteral(page, marker)) {
            removeMarkedBlocks("<FORM>", "</FORM>", marker, page, 100, le, false, true);
            removeMarkedBlocks("<form>", "</form>", marker, page, 100, le, false, true);
        }
    }
}

void removeOldComments(std::string &page, const std::string &le)
{
    // removeElement looks for the marker itself, not for the first heading
    // of the page, so one removal per spelling takes our last run's one.
    for (const char *needle : {"H1><!--qx!", "h1><!--qx!"})
        if (containsLiteral(page, std::string("<") + needle + " "))
            removeElement('<', '>', needle, page, le);
}

std::string hiddenForm(const std::vector<std::string> &terms, bool firstSet, const std::string &le)
{
    std::string form = "<FORM><input type=\"hidden\" size=\"1\" value=\"qx! ";
    std::size_t next = 0;
    if (firstSet) {
        form += terms[0] + "\" name=\"" + upperCp1252(terms[0]);
        next = 1;
    } else {
        form += "\" name=\"";
    }
    form += "\">" + le;
    for (; next < terms.size(); ++next)
        form += "<input type=\"hidden\" size=\"1\" value=\"" + terms[next] + "\" name=\"" + upperCp1252(terms[next]) +
                "\">" + le;
    return form + "</FORM>" + le;
}

std::string commentHeading(const std::vector<std::string> &terms, const std::string &le)
{
    std::string comment = le + "<H1><!--qx! ";
    for (const std::string &term : terms)
        comment += term + ", ";
    return comment + "--></H1>" + le;
}

std::vector<std::string> homepageTerms(const ProjectRecord &record)
{
    std::vector<std::string> terms;
    for (const auto &term : record.homepageKeywords)
        if (!term.empty())
            terms.push_back(term.str());
    return terms;
}

// The rest of a hidden link after its address, up to the alt text.
const std::string &trackingImage()
{
    static const std::string image =
        "\"><img src=\"" + linkForm("vantor.gif") + "\" width=\"1\" height=\"1\" border=\"0\" ";
    return image;
}

} // namespace

std::size_t removeMarkedBlocks(std::string_view open, std::string_view close, std::string_view marker,
                               std::string &page, std::size_t reach, std::string_view lineEnd, bool lineEndBefore,
                               bool lineEndAfter)
{
    if (open.empty() || close.empty() || marker.empty() || reach == 0)
        return 0;
    // One pass that copies what stays, so a page full of markers costs no
    // more than one without.
    std::string out;
    std::size_t kept = 0; // page[kept..] not yet decided
    std::size_t removed = 0;
    std::size_t from = 0;
    for (;;) {
        const std::size_t pos = findLiteral(page, marker, from);
        if (pos == npos)
            break;
        // The open literal nearest before the marker, within reach, and not
        // in a stretch already taken away.
        const std::size_t lowest = std::max(kept, pos + 1 >= reach ? pos + 1 - reach : 0);
        const std::size_t windowEnd = std::min(page.size(), pos + open.size());
        std::size_t first = npos;
        if (windowEnd > lowest) {
            const std::string_view window(page.data() + lowest, windowEnd - lowest);
            const std::size_t hit = window.rfind(open);
            if (hit != npos && lowest + hit <= pos)
                first = lowest + hit;
        }
        const std::size_t last = first == npos ? npos : findLiteral(page, close, pos + marker.size());
        if (last == npos) {
            from = pos + 1;
            continue;
        }
        if (removed == 0)
            out.reserve(page.size());
        const std::size_t n = lineEnd.size();
        if (lineEndBefore && n > 0 && first >= kept + n && page.compare(first - n, n, lineEnd) == 0)
            out.append(page, kept, first - n - kept);
        else
            out.append(page, kept, first - kept);
        kept = last + close.size();
        if (lineEndAfter && n > 0 && page.compare(kept, n, lineEnd) == 0)
            kept += n;
        from = kept;
        ++removed;
    }
    if (removed > 0) {
        out.append(page, kept, npos);
        page = std::move(out);
    }
    return removed;
}

FrameState repairFrames(const PageContext &context, std::string &page, bool repair)
{
    FrameState state;
    if (!hasFrameTag(page))
        return state;
    state.hasFrames = true;
    if (repair)
        context.log->useTechnique("nofr");
    const std::string &le = context.lineEnd;
    const bool noframes = containsLiteral(page, "<noframes>") || containsLiteral(page, "<NOFRAMES>");
    const bool body = containsLiteral(page, "<body") || containsLiteral(page, "<BODY");
    if (!noframes && !body) {
        if (repair) {
            addMissingNoframesEnd(page);
            addMissingBodyEnd(page);
            insertBefore(le, firstPresent(page, "</html>", "</HTML>"), page);
            // The section gets its own line: <NOFRAMES><BODY>, line end, </BODY></NOFRAMES>.
            insertBefore("<NOFRAMES><BODY>" + le, firstPresent(page, "</body>", "</BODY>"), page);
        }
    } else if (!noframes) {
        if (repair) {
            insertBefore("<NOFRAMES>", firstPresent(page, "<BODY", "<body"), page);
            addMissingNoframesEnd(page);
            addMissingBodyEnd(page);
        }
    } else if (!body) {
        insertAfter("<BODY>", firstPresent(page, "<NOFRAMES>", "<noframes>"), page);
        addMissingNoframesEnd(page);
        addMissingBodyEnd(page);
    }
    const bool complete = (containsLiteral(page, "<noframes>") || containsLiteral(page, "<NOFRAMES>")) &&
                          (containsLiteral(page, "</noframes>") || containsLiteral(page, "</NOFRAMES>"));
    if (!complete) {
        context.log->logLine(de("     FEHLER: In der Homepage sind die Tags <NOFRAMES> bzw. </NOFRAMES> nicht "
                                "komplett. Bitte korrigieren Sie dieses Problem."),
                             LineKind::Error);
        context.log->addTodo(de("Bauen Sie die Tags <NOFRAMES> bzw. </NOFRAMES> korrekt in die Homepage ein (z.B. "
                                "...<noframes>...<body>....</body>...</noframes>...)"));
    }
    state.hasNoframes = complete;
    return state;
}

void writeHomepageHidden(const PageContext &context, std::string &page, const FrameState &frames)
{
    const ProjectRecord &record = *context.record;
    const ProjectOptions &options = *context.options;
    const std::string &le = context.lineEnd;
    RunLog &log = *context.log;
    const std::vector<std::string> terms = homepageTerms(record);
    const bool forbidden = frames.forbidsHidden();
    const bool headingWanted = ProjectOptions::forHomepage(options.text) && !terms.empty() && !forbidden;
    const bool formWanted = ProjectOptions::forHomepage(options.hiddenForm) && !forbidden;
    const bool commentWanted = ProjectOptions::forHomepage(options.komm) && !terms.empty() && !forbidden;

    // What the last run put in goes before anything new is placed: a new
    // element anchored at an old one would stand elsewhere than the last
    // run put it. Links of earlier runs go whatever the options say now,
    // and first, as they may stand inside the line ends of the others.
    removeAllTrackingLinks(page, le);
    if (headingWanted)
        removeOldHeadings(page, le);
    if (formWanted)
        removeOldForms(page, le);
    if (commentWanted)
        removeOldComments(page, le);

    // Hidden heading.
    if (ProjectOptions::forHomepage(options.text)) {
        if (terms.empty()) {
            log.logLine(de("     WARNUNG: Verborgenen Text nicht eingefügt, da keine Suchbegriffe vorhanden sind"),
                        LineKind::Warning);
        } else if (forbidden) {
            log.logLine(framesWarning("Verborgener Tag"), LineKind::Warning);
        } else {
            std::string heading = le + "<H1><qx!>";
            for (const std::string &term : terms)
                heading += "<" + upperCp1252(term) + ">";
            insertBefore(heading + "</H1>" + le, "</BODY", page);
            log.useTechnique("text");
        }
    }

    const bool withAlt = ProjectOptions::forHomepage(options.altt);
    if (ProjectOptions::forHomepage(options.vlin) && ProjectOptions::forHomepage(options.vcop)) {
        const auto &copy1 = record.copyKeywords[0];
        const auto copyLink = [&](int variant) {
            const std::string term = copy1[static_cast<std::size_t>(variant)].str();
            std::string link = le + "<a href=\"" + context.copyLink(variant, term) + trackingImage();
            log.useTechnique("vlin");
            if (withAlt) {
                link += "alt=\"" + term + " " + upperCp1252(term) + " " + lowerCp1252(term);
                log.useTechnique("altt");
            }
            return link + "\"></a>";
        };
        if (!copy1[0].empty()) {
            if (forbidden)
                log.logLine(framesWarning("Verborgener Link"), LineKind::Warning);
            else
                insertBeforeFirstOf(copyLink(0), {"&nbsp", "</BODY"}, page);
        }
        if (record.scope == 2) {
            if (!copy1[1].empty())
                insertBeforeFirstOf(copyLink(1), {"</strong>", "</STRONG>", "</BODY"}, page);
            if (!copy1[2].empty())
                insertBeforeFirstOf(copyLink(2), {"<br>", "<BR>", "</BODY"}, page);
        }
    }

    if (ProjectOptions::forHomepage(options.vlin) && record.makedirs != 0 && context.doorways != nullptr) {
        const auto &slots = context.doorways->slots;
        const auto doorwayLink = [&](const std::string &term) {
            std::string link = le + "<a href=\"" + context.doorwayLink(term) + trackingImage();
            log.useTechnique("vlin");
            if (withAlt) {
                link += "alt=\"" + entityForm(term) + " " + entityForm(upperCp1252(term)) + " " +
                        entityForm(lowerCp1252(term));
                log.useTechnique("altt");
            }
            return link + "\"></a>" + le;
        };
        if (!slots[0].term.empty())
            insertBeforeFirstOf(doorwayLink(slots[0].term),
                                {"<h1>", "<H1>", "<h2>", "<H2>", "<h3>", "<H3>", "<h4>", "<H4>", "</BODY"}, page);
        int count = 0;
        for (int i = 0; i < DoorwayTerms::kSlots; ++i)
            if (!slots[static_cast<std::size_t>(i)].term.empty())
                count = i + 1;
        for (int i = count / 2; i < count; ++i) {
            const std::string &term = slots[static_cast<std::size_t>(i)].term;
            if (!term.empty()) {
                insertBeforeFirstOf(doorwayLink(term), {"</blockquote>", "</BLOCKQUOTE>", "<br>", "<BR>", "</BODY"},
                                    page);
                break;
            }
        }
    }

    if (ProjectOptions::forHomepage(options.hiddenForm)) {
        if (forbidden) {
            log.logLine(framesWarning("Verborgenes Formular"), LineKind::Warning);
        } else {
            insertBefore(hiddenForm(terms, !record.homepageKeywords[0].empty(), le), "</BODY", page);
            log.useTechnique("hiddenForm");
        }
    }

    if (ProjectOptions::forHomepage(options.komm)) {
        if (terms.empty()) {
            log.logLine(de("     WARNUNG: Kommentar nicht eingefügt, da keine Suchbegriffe vorhanden sind"),
                        LineKind::Warning);
        } else if (forbidden) {
            log.logLine(framesWarning("Kommentar"), LineKind::Warning);
        } else {
            insertBefore(commentHeading(terms, le), "</BODY", page);
            log.useTechnique("komm");
        }
    }
}

bool placeElement(Placement table, int row, const std::string &insertion, std::string &page)
{
    const int r = ((row % 15) + 15) % 15;
    const Row &anchors = copyHeadingTable()[static_cast<std::size_t>((r + rowShift(table)) % 15)];
    return placeAt(anchors, isDoorwayTable(table), insertion, page);
}

bool optimizeCopyText(const PageContext &context, std::string &page, int copy, int variant)
{
    const FrameState frames = repairFrames(context, page, ProjectOptions::forCopies(context.options->nofr));
    if (frames.forbidsHidden())
        return false;
    writeCopyHead(context, page, copy, variant);
    writeCopyHidden(context, page, copy, variant, frames);
    return true;
}

void writeCopyHidden(const PageContext &context, std::string &page, int copy, int variant,
                     const FrameState &frames)
{
    const ProjectRecord &record = *context.record;
    const ProjectOptions &options = *context.options;
    const std::string &le = context.lineEnd;
    const auto &copyTerms = record.copyKeywords[static_cast<std::size_t>(copy - 1)];
    std::vector<std::string> terms;
    for (const auto &term : copyTerms)
        if (!term.empty())
            terms.push_back(entityForm(term.view()));
    const bool forbidden = frames.forbidsHidden();
    const bool linksWanted = ProjectOptions::forCopies(options.vlin) && ProjectOptions::forCopies(options.vcop);

    const auto writeHeading = [&] {
        if (!ProjectOptions::forCopies(options.text) || variant != 0 || terms.empty())
            return;
        if (forbidden) {
            context.log->logLine(framesWarning("Verborgener Tag"), LineKind::Warning);
            return;
        }
        std::string heading = le + "<H1>";
        for (const std::string &term : terms)
            heading += "<" + term + ">";
        heading += "<" + entityForm(copyTerms[0].view()) + "></H1>" + le;
        placeElement(Placement::CopyHeading, drawRow(context), heading, page);
        context.log->useTechnique("text");
    };
    const auto writeComment = [&] {
        if (!ProjectOptions::forCopies(options.komm) || terms.empty())
            return;
        if (forbidden) {
            context.log->logLine(framesWarning("Kommentar"), LineKind::Warning);
            return;
        }
        placeElement(Placement::CopyComment, drawRow(context), commentHeading(terms, le), page);
        context.log->useTechnique("komm");
    };
    const auto writeForm = [&] {
        if (!ProjectOptions::forCopies(options.hiddenForm) || terms.empty())
            return;
        if (forbidden) {
            context.log->logLine(framesWarning("Verborgenes Formular"), LineKind::Warning);
            return;
        }
        placeElement(Placement::CopyForm, drawRow(context), hiddenForm(terms, !copyTerms[0].empty(), le), page);
        context.log->useTechnique("hiddenForm");
    };
    const auto writeLinks = [&] {
        if (!linksWanted)
            return;
        const bool withAlt = ProjectOptions::forHomepage(options.altt);
        const auto linkTo = [&](int target) {
            const auto &term =
                record.copyKeywords[static_cast<std::size_t>(target - 1)][static_cast<std::size_t>(variant)];
            if (term.empty())
                return;
            std::string link = "<a href=\"" + context.copyLink(variant, term.str()) + trackingImage();
            context.log->useTechnique("vlin");
            if (withAlt) {
                const std::string entity = entityForm(term.view());
                link += "alt=\"" + entity + ", " + entityForm(upperCp1252(term.view())) + ", " +
                        entityForm(lowerCp1252(term.view()));
                context.log->useTechnique("altt");
            }
            placeElement(Placement::CopyLink, drawRow(context), link + "\"></a>" + le, page);
        };
        if (copy == 1) {
            for (int target = 2; target <= ProjectRecord::kCopies; ++target)
                linkTo(target);
        } else if (copy < ProjectRecord::kCopies) {
            linkTo(copy + 1);
        }
    };

    // The homepage's elements of its last run go before anything is placed,
    // so that nothing is anchored at one of them.
    if (linksWanted)
        removeAllTrackingLinks(page, le);
    if (!forbidden && !terms.empty()) {
        if (ProjectOptions::forCopies(options.text) && variant == 0)
            removeOldHeadings(page, le);
        if (ProjectOptions::forCopies(options.komm))
            removeOldComments(page, le);
        if (ProjectOptions::forCopies(options.hiddenForm))
            removeOldForms(page, le);
    }
    writeGroups(context, writeHeading, writeComment, writeForm, writeLinks);
}

void writeDoorwayHidden(const PageContext &context, std::string &page, const std::string &term, int slot,
                        int variant)
{
    const ProjectRecord &record = *context.record;
    const ProjectOptions &options = *context.options;
    const std::string &le = context.lineEnd;
    const std::string upperT = upperCp1252(term);
    const auto &homepage = record.homepageKeywords;

    const auto writeHeading = [&] {
        if (!ProjectOptions::forCopies(options.text) || variant != 0)
            return;
        std::string heading = "<H1><" + term + ">";
        for (std::size_t k = 0; k < homepage.size(); ++k) {
            if (homepage[k].empty())
                continue;
            heading += "<" + upperCp1252(homepage[k].view()) + ">";
            if (k % 10 == 7)
                heading += "<" + upperT + ">";
        }
        placeElement(Placement::DoorwayHeading, drawRow(context), heading + "</H1>" + le, page);
        context.log->useTechnique("text");
    };
    const auto writeComment = [&] {
        if (!ProjectOptions::forCopies(options.komm))
            return;
        std::string comment = "<!-- " + term + ", ";
        for (std::size_t k = 0; k < homepage.size(); ++k) {
            if (homepage[k].empty())
                continue;
            comment += upperCp1252(homepage[k].view()) + ", ";
            if (k % 10 == 7)
                comment += term + ", ";
        }
        placeElement(Placement::DoorwayComment, drawRow(context), comment + "-->" + le, page);
        context.log->useTechnique("komm");
    };
    const auto writeForm = [&] {
        if (!ProjectOptions::forCopies(options.hiddenForm) || variant != 0)
            return;
        std::string inputs;
        for (std::size_t k = 0; k < homepage.size(); k += 2) {
            if (homepage[k].empty())
                continue;
            const auto &partner = k + 1 < homepage.size() && !homepage[k + 1].empty() ? homepage[k + 1] : homepage[k];
            inputs += "<input type=\"hidden\" value=\"" + homepage[k].str() + "\" name=\"" + partner.str() + "\">";
        }
        if (!inputs.empty()) {
            placeElement(Placement::DoorwayForm, drawRow(context), "<FORM>" + inputs + "</FORM>" + le, page);
            context.log->useTechnique("hiddenForm");
        }
    };
    const auto writeLinks = [&] {
        if (variant != 0 || !ProjectOptions::forCopies(options.vlin) || !ProjectOptions::forCopies(options.vcop))
            return;
        const std::string name = safeNameForm(term);
        const std::string image =
            "<img src=\"" + linkForm(name + ".gif") + "\" width=\"1\" height=\"1\" border=\"0\" " +
            (ProjectOptions::forHomepage(options.altt) ? "alt=\"" + entityForm(term) + "\"" : "");
        context.log->useTechnique("vlin");
        if (ProjectOptions::forHomepage(options.altt))
            context.log->useTechnique("altt");
        const int next = context.nextDoorwaySlot(slot);
        if (next >= 0) {
            const std::string &nextTerm = context.doorways->slots[static_cast<std::size_t>(next)].term;
            placeElement(Placement::DoorwayLink, drawRow(context),
                         "<a href=\"../" + context.doorwayLink(nextTerm) + "\">" + image + "></a>" + le, page);
        }
        if (record.scope != 0)
            placeElement(Placement::DoorwayLink, drawRow(context),
                         "<a href=\"" + linkForm(name + ".htm") + "\">" + image + "></a>" + le, page);
    };

    writeGroups(context, writeHeading, writeComment, writeForm, writeLinks);
    if (ProjectOptions::forCopies(options.hiddenForm)) {
        context.log->useTechnique("hiddenForm");
        insertBefore("<FORM><input type=\"hidden\" size=\"1\" value=\"" + term + "\" name=\"" + term +
                         "\"><input type=\"hidden\" name=\"" + upperT + ", \" value=\"" + upperT + "\"></FORM>" + le,
                     "</BODY", page);
    }
}

} // namespace vantor
