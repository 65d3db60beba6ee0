#include "optimizer/FindLiteral.h"
#include "optimizer/DoorwayPages.h"

#include "optimizer/HeadElements.h"
#include "optimizer/HiddenElements.h"
#include "optimizer/PageContext.h"
#include "optimizer/RunLog.h"
#include "optimizer/TermText.h"
#include "platform/Text.h"
#include "project/ProjectRecord.h"

#include <cstdlib>
#include <set>

namespace vantor {

namespace {


void replaceAll(std::string &text, const std::string &from, const std::string &to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

void replaceFirst(std::string &text, const std::string &from, const std::string &to)
{
    const std::size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
}

int templateNumberOf(std::string_view term)
{
    const std::size_t hash = term.find('#');
    if (hash == std::string_view::npos)
        return 0;
    return std::atoi(std::string(term.substr(hash + 1)).c_str());
}

// The text blocks 1..3 the document's variant and term ask for; all other
// placeholders of blocks go without a trace.
void fillTextBlocks(std::string &page, const std::string &term, int variant, const std::string &blocks)
{
    for (int n = 1; n <= 3; ++n) {
        const std::string placeholder = "%Textbaustein" + std::to_string(n) + "%";
        if (!containsLiteral(page, placeholder))
            continue;
        const std::string key = "Textbaustein" + std::to_string(n);
        const std::size_t textAt = blocks.find(key + "=");
        const bool forTerm = containsLiteral(blocks, key + ".Keyword=ALL") || containsLiteral(blocks, key + ".Keyword=" + term);
        const bool forVariant = (variant == 0 && containsLiteral(blocks, key + ".IndexDoorway=1")) ||
                                (variant == 1 && containsLiteral(blocks, key + ".KeywordDoorway=1"));
        std::string text;
        if (textAt != std::string::npos && forTerm && forVariant) {
            const std::size_t from = textAt + key.size() + 1;
            const std::size_t end = blocks.find_first_of("\r\n", from);
            text = entityForm(blocks.substr(from, end == std::string::npos ? std::string::npos : end - from));
        }
        replaceFirst(page, placeholder, text);
    }
}

} // namespace

DoorwayTerms buildDoorwayTerms(const ProjectRecord &record, bool withHomepageTerms,
                               std::vector<std::string> &unusable)
{
    DoorwayTerms list;
    std::set<std::string> names;
    // True when the term took the slot.
    const auto enter = [&](std::string_view term, std::size_t slot) {
        if (term.empty())
            return false;
        const std::string name = safeNameForm(term);
        if (name.empty()) {
            unusable.push_back(cutAtHash(term));
            return false;
        }
        if (!names.insert(name).second)
            return false;
        list.slots[slot].term = cutAtHash(term);
        list.slots[slot].templateNumber = templateNumberOf(term);
        return true;
    };
    if (withHomepageTerms)
        for (std::size_t i = 0; i < record.homepageKeywords.size(); ++i)
            enter(record.homepageKeywords[i].view(), i);
    std::size_t next = ProjectRecord::kHomepageTerms;
    for (const auto &copy : record.copyKeywords)
        for (const auto &term : copy)
            if (enter(term.view(), next))
                ++next;
    for (const auto &term : record.doorwayKeywords)
        if (enter(term.view(), next))
            ++next;
    return list;
}

std::string indexTemplateName(int templateNumber)
{
    return templateNumber != 0 ? "vantor!!/index" + std::to_string(templateNumber) + ".htm" : "vantor!!/index.htm";
}

std::string termTemplateName(int templateNumber, bool specialTermTemplate)
{
    if (!specialTermTemplate)
        return indexTemplateName(templateNumber);
    return templateNumber != 0 ? "vantor!!/Suchbegriff" + std::to_string(templateNumber) + ".htm"
                               : "vantor!!/Suchbegriff.htm";
}

bool fillDoorwayDocument(const PageContext &context, std::string &page, const std::string &term, int slot,
                         int variant, const std::string &textBlocks)
{
    const ProjectRecord &record = *context.record;
    context.log->useTechnique("makedirs");
    writeDoorwayHead(context, page, term, slot, variant);
    if (containsLiteral(page, "%Textbaustein"))
        fillTextBlocks(page, term, variant, textBlocks);
    const std::string entityTerm = entityForm(term);
    replaceAll(page, "%SuchbegriffIntern%", entityTerm);
    replaceAll(page, "%SuchbegriffConverted%", safeNameForm(term));
    writeDoorwayHidden(context, page, term, slot, variant);
    replaceAll(page, "%Suchbegriff%", entityTerm);

    if (!record.author.empty()) {
        replaceAll(page, "%Firma%", entityForm(record.author.view()));
    } else if (containsLiteral(page, "%Firma%")) {
        context.log->logLine(de("     FEHLER: Die Vorlage enthält den Text %Firma%, es ist aber kein Autor "
                                "definiert. String %Firma% kann nicht ersetzt werden!"),
                             LineKind::Error);
        context.log->addTodo(de("Geben Sie einen Autor an, diese Angabe wird dann für den String %Firma% bei den "
                                "Vorlagen verwendet"));
        context.log->logLine("OPTIMIERUNG ABGEBROCHEN", LineKind::Error);
        return false;
    }

    if (containsLiteral(page, "%Beschreibung%")) {
        // The description of the first copy one of whose terms is part of
        // this term, else the homepage's.
        std::string description = record.description.str();
        bool matched = false;
        for (std::size_t m = 0; m < record.copyKeywords.size() && !matched; ++m) {
            if (record.copyDescriptions[m].empty())
                continue;
            for (const auto &copyTerm : record.copyKeywords[m]) {
                const std::string part = cutAtHash(copyTerm.view());
                if (!part.empty() && containsLiteral(term, part)) {
                    description = record.copyDescriptions[m].str();
                    matched = true;
                    break;
                }
            }
        }
        replaceAll(page, "%Beschreibung%", entityForm(description));
    }
    return true;
}

} // namespace vantor
