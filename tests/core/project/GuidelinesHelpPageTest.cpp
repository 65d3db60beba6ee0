#include "platform/Help.h"
#include "project/Guidelines.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

using namespace vantor;

namespace {

std::string shippedPage(const std::string &name)
{
    std::ifstream in(std::string(VANTOR_SOURCE_DATA_DIR) + "/help/" + name + ".htm", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The table row of the help page that names the code, or "".
std::string rowOf(const std::string &page, const std::string &code)
{
    const std::size_t at = page.find("<code>" + code + "</code>");
    if (at == std::string::npos)
        return {};
    const std::size_t begin = page.rfind("<tr>", at);
    const std::size_t end = page.find("</tr>", at);
    if (begin == std::string::npos || end == std::string::npos)
        return {};
    return page.substr(begin, end - begin);
}

} // namespace

// The dialog's tool tips say in a sentence what the help page explains; a
// technique added to the table or judged anew must not leave the page behind.
TEST(GuidelinesHelpPageTest, namesEveryTechniqueWithItsLabelAndMark)
{
    const std::string page = shippedPage(std::to_string(help::kGuidelines));
    ASSERT_FALSE(page.empty());
    for (const guidelines::Technique &technique : guidelines::techniques()) {
        SCOPED_TRACE(technique.code);
        const std::string row = rowOf(page, technique.code);
        ASSERT_FALSE(row.empty());
        EXPECT_NE(row.find(std::string("<td>") + technique.label + "</td>"), std::string::npos) << row;
        EXPECT_NE(row.find(std::string("<td>") + guidelines::markText(technique.mark) + "</td>"), std::string::npos)
            << row;
    }
}

TEST(GuidelinesHelpPageTest, isReachedFromTheContentsAndTheConfigurationTopic)
{
    const std::string link = "href=\"" + std::to_string(help::kGuidelines) + ".htm";
    for (const std::string &from : {std::string("index"), std::to_string(help::kConfiguration),
                                    std::to_string(help::kConfigHeader)})
        EXPECT_NE(shippedPage(from).find(link), std::string::npos) << from;
}
