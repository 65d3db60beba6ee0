#include "optimizer/PageContext.h"

#include "optimizer/DoorwayTerms.h"
#include "optimizer/StartSigns.h"
#include "optimizer/TermText.h"
#include "platform/Text.h"
#include "project/ProjectRecord.h"

namespace vantor {

std::string PageContext::doorwayDocumentName() const
{
    // Lower case like the file the doorway step writes, so that the links
    // also hold on a server that tells cases apart.
    return lowerCp1252(record->doorlikehp == 1 ? std::string_view(homepageFileName) : record->startpage.view());
}

std::string PageContext::copyFileName(int variant, const std::string &term) const
{
    return signs->copySign(variant + 1) + safeNameForm(term) + "." + homepageExtension;
}

std::string PageContext::copyLink(int variant, const std::string &term) const
{
    return linkForm(copyFileName(variant, term));
}

std::string PageContext::doorwayLink(const std::string &term) const
{
    return linkForm(signs->doorwaySign() + safeNameForm(term) + "/" + doorwayDocumentName());
}

int PageContext::nextDoorwaySlot(int slot) const
{
    if (doorways == nullptr)
        return -1;
    for (int i = slot + 1; i < DoorwayTerms::kSlots; ++i)
        if (!doorways->slots[static_cast<std::size_t>(i)].term.empty())
            return i;
    return -1;
}

} // namespace vantor
