#include "Cli.h"
#include "ManPage.h"
#include "project/ProgramSettings.h"

#include "Gunzip.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace vantor::manpage {
namespace {

using testing::gunzip;

const std::vector<std::string> kPages = {"vantor", "vantor-cli", "vantor-demo-server"};

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string markdownOf(const std::string &page) { return readFile(std::string(VANTOR_MAN_SOURCE_DIR) + "/" + page + ".1.md"); }

std::string builtPage(const std::string &page) { return std::string(VANTOR_MAN_DIR) + "/" + page + ".1.gz"; }


// The source the pages name is the version the program reports.
std::string programSource()
{
    std::string version = kVersionText;
    while (!version.empty() && version.back() == ' ')
        version.pop_back();
    return version;
}

TEST(ManPageSourcesTest, BuiltPagesAreTheCurrentSourcesUnderTheProgramVersion)
{
    for (const auto &page : kPages) {
        SCOPED_TRACE(page);
        std::string roff;
        ASSERT_NO_THROW(roff = toRoff(markdownOf(page), programSource()));
        EXPECT_NE(roff.find("\"" + programSource() + "\""), std::string::npos);
        const std::string packed = readFile(builtPage(page));
        ASSERT_GE(packed.size(), 10u);
        EXPECT_EQ(packed.substr(4, 4), std::string(4, '\0')) << "no time stamp";
        EXPECT_EQ(packed[3], 0) << "no file name";
        EXPECT_EQ(gunzip(packed), roff);
    }
}

// The usage forms of vantor-cli without "vantor-cli ", continuation lines
// joined: the same reading the shell completion does.
std::vector<std::string> usageForms()
{
    std::istringstream in(Cli::usage());
    std::vector<std::string> forms;
    std::string line;
    bool inUsage = false;
    while (std::getline(in, line)) {
        if (line.rfind("  vantor-cli ", 0) == 0) {
            forms.push_back(line.substr(13));
            inUsage = true;
        } else if (inUsage && line.rfind("    ", 0) == 0) {
            forms.back() += " " + line.substr(line.find_first_not_of(' '));
        } else {
            inUsage = false;
        }
    }
    return forms;
}

TEST(ManPageSourcesTest, CliPageNamesEveryCommandAndOptionOfTheUsage)
{
    const std::string markdown = markdownOf("vantor-cli");
    const auto forms = usageForms();
    ASSERT_GE(forms.size(), 30u) << "the usage lines were not found";
    const std::regex commandWords(R"(^([a-z][a-z0-9-]*( [a-z][a-z0-9-]*)*))");
    const std::regex option(R"(--[a-z][a-z0-9-]*)");
    std::set<std::string> commands;
    std::set<std::string> options;
    for (const auto &form : forms) {
        std::smatch m;
        if (std::regex_search(form, m, commandWords))
            commands.insert(m.str(1));
        for (auto it = std::sregex_iterator(form.begin(), form.end(), option); it != std::sregex_iterator(); ++it)
            options.insert(it->str());
    }
    EXPECT_TRUE(commands.count("ranks forget"));
    EXPECT_TRUE(options.count("--keep-doorways")) << "continuation lines belong to their form";
    // Commands stand in bold with their words, options as bold words of
    // their own, so a mention inside a longer word does not count.
    for (const auto &command : commands)
        EXPECT_NE(markdown.find("**" + command), std::string::npos) << command;
    for (const auto &name : options)
        EXPECT_NE(markdown.find(name + "**"), std::string::npos) << name;
}

TEST(ManPageSourcesTest, DemoServerPageNamesEveryOptionOfTheServer)
{
    const std::string main = readFile(VANTOR_DEMO_SERVER_MAIN);
    const std::string markdown = markdownOf("vantor-demo-server");
    const std::regex option(R"rx("(--[a-z][a-z0-9-]*)")rx");
    int found = 0;
    for (auto it = std::sregex_iterator(main.begin(), main.end(), option); it != std::sregex_iterator(); ++it, ++found)
        EXPECT_NE(markdown.find("**" + it->str(1) + "**"), std::string::npos) << it->str(1);
    EXPECT_GE(found, 5);
}

// What lintian does with every man page: format it and look for warnings.
TEST(ManPageSourcesTest, PagesFormatWithoutWarnings)
{
    if (std::system("command -v man >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "man-db is not installed";
    for (const auto &page : kPages) {
        const std::string command = "LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l '" +
            builtPage(page) + "' 2>&1 >/dev/null";
        std::unique_ptr<FILE, int (*)(FILE *)> pipe(popen(command.c_str(), "r"), pclose);
        ASSERT_TRUE(pipe);
        std::string warnings;
        std::array<char, 512> buffer{};
        while (const auto n = std::fread(buffer.data(), 1, buffer.size(), pipe.get()))
            warnings.append(buffer.data(), n);
        EXPECT_EQ(warnings, "") << page;
    }
}

} // namespace
} // namespace vantor::manpage
