#include "submit/SubmitAnswerReader.h"
#include "submit/SubmitTarget.h"

#include <gtest/gtest.h>

#include <string>

namespace vantor {
namespace {

// A data text as the maker's files unpack: "<SECTION>.<KEY>=<value>" lines
// ended by CR LF.
std::string dataText(std::initializer_list<std::pair<const char *, const char *>> entries)
{
    std::string text;
    for (const auto &[name, value] : entries)
        text += std::string(name) + "=" + value + "\r\n";
    return text;
}

SubmitTarget engine()
{
    SubmitTarget target;
    target.server = "127.0.0.1:8080";
    target.okay = "Vielen Dank";
    target.error = "Fehler";
    target.wrong = "ungültig";
    target.already = "bereits eingetragen";
    target.already2 = "schon vorhanden";
    target.down = "Wartung";
    target.http1 = "/add?url=[URL]&mail=[MAIL]&back=[URL]";
    target.replaceUrl = "[URL]";
    target.replaceEmail = "[MAIL]";
    return target;
}

TEST(SubmitTargets, NamesStopAtTheFirstGapAndListsShowTheirSize)
{
    const std::string submit = dataText({{"G.1", "Sucher"}, {"G.2", "Finder"}, {"G.4", "Verloren"}});
    const std::string lists = dataText({{"G.1", "Webkatalog"}, {"Webkatalog.NOF", "120"}});
    const submittargets::Offered offered = submittargets::readOffered(submit, lists);
    EXPECT_EQ(offered.targets, (std::vector<std::string>{"Sucher", "Finder", "Liste: Webkatalog (120)"}));
    EXPECT_FALSE(offered.listWithoutSize);

    const submittargets::Offered broken =
        submittargets::readOffered(submit, dataText({{"G.1", "Ohne"}, {"G.2", "Mit"}, {"Mit.NOF", "3"}}));
    EXPECT_EQ(broken.listWithoutSize, std::optional<std::string>("Ohne"));
    EXPECT_EQ(broken.targets.back(), "Liste: Mit (3)");
}

TEST(SubmitTargets, DefinitionsComeFromTheFileThatNamedThem)
{
    const std::string submit = dataText({{"G.1", "Sucher"},
                                         {"Sucher.SERVER", "127.0.0.1"},
                                         {"Sucher.ONLYHOMEPAGE", "0"},
                                         {"Sucher.OKAY", "Danke"},
                                         {"Sucher.CONVERT", "1"},
                                         {"Sucher.HTTP1", "/a?u=URL"},
                                         {"Sucher.REPLACEURL", "URL"}});
    const std::string lists = dataText({{"G.1", "Webkatalog"},
                                        {"Webkatalog.NOF", "120"},
                                        {"Webkatalog.SERVER", "katalog.example"},
                                        {"Webkatalog.ONLYHOMEPAGE", "1"},
                                        {"Webkatalog.OKAY", "aufgenommen"},
                                        {"Webkatalog.CONVERT", "0"},
                                        {"Webkatalog.VERB", "1"},
                                        {"Webkatalog.HTTP1", "/k?u=URL"},
                                        {"Webkatalog.REPLACEURL", "URL"}});
    const auto single = submittargets::readTarget(submit, lists, "Sucher");
    ASSERT_TRUE(single);
    EXPECT_EQ(single->okay, "Danke");
    EXPECT_EQ(single->verbNumber(), 0); // missing: POST
    const auto list = submittargets::readTarget(submit, lists, "Liste: Webkatalog (120)");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->server, "katalog.example");
    EXPECT_EQ(list->offered, "Liste: Webkatalog (120)");
    EXPECT_EQ(SubmitTarget::verbName(list->verbNumber()), std::string("GET"));

    // The first required key that is missing is named; an empty OKAY counts
    // as missing.
    std::string missing;
    EXPECT_FALSE(submittargets::readTarget(dataText({{"X.SERVER", "h"}, {"X.ONLYHOMEPAGE", "0"}, {"X.OKAY", ""}}),
                                           lists, "X", &missing));
    EXPECT_EQ(missing, "OKAY");
    EXPECT_FALSE(submittargets::readTarget(submit, lists, "Fehlt", &missing));
    EXPECT_EQ(missing, "SERVER");
}

TEST(SubmitTargets, RequestsReplaceTheFirstPlaceholderAndEncodeWhatTheyInsert)
{
    const SubmitTarget target = engine();
    EXPECT_EQ(target.buildRequest("http://www.site.de/index.htm", "info@site.de"),
              "/add?url=http://www.site.de/index.htm&mail=info@site.de&back=[URL]");

    // A file name that would end the query value or add keys of its own
    // reaches the engine as the URL it is, with its umlaut as UTF-8.
    EXPECT_EQ(target.buildRequest("http://www.site.de/#kr\xE4uter & tee+1.htm?x=1", "a@b.de"),
              "/add?url=http://www.site.de/%23kr%C3%A4uter%20%26%20tee%2B1.htm%3Fx%3D1&mail=a@b.de&back=[URL]");

    // A missing e-mail placeholder leaves the request without the address.
    SubmitTarget noMail = target;
    noMail.http1 = "/add?url=[URL]";
    EXPECT_EQ(noMail.buildRequest("http://s.de/", "a@b.de"), "/add?url=http://s.de/");

    SubmitTarget converting = target;
    converting.convert = "1";
    EXPECT_EQ(converting.finishRequest("/a#b#c"), "/a%23b%23c");
    converting.convert = "01";
    EXPECT_EQ(converting.finishRequest("/a#b"), "/a#b");
}

TEST(SubmitTargets, VerbsAndServers)
{
    SubmitTarget target = engine();
    for (const auto &[text, number] : std::vector<std::pair<std::string, int>>{
             {"", 0}, {"1", 1}, {"6", 6}, {"7", 0}, {"x", 0}, {"2 ", 0}, {"-1", 0}}) {
        target.verb = text;
        EXPECT_EQ(target.verbNumber(), number) << text;
    }

    target.server = "submit.example";
    EXPECT_EQ(target.parsedServer()->port, 80);
    EXPECT_FALSE(target.parsedServer()->https);
    target.server = "https://submit.example:8443";
    ASSERT_TRUE(target.parsedServer());
    EXPECT_TRUE(target.parsedServer()->https);
    EXPECT_EQ(target.parsedServer()->host, "submit.example");
    EXPECT_EQ(target.parsedServer()->port, 8443);
    target.server = "https://submit.example";
    EXPECT_EQ(target.parsedServer()->port, 443);
    target.server = "127.0.0.1:99999";
    EXPECT_FALSE(target.parsedServer());
    target.server = "";
    EXPECT_FALSE(target.parsedServer());
}

TEST(SubmitAnswers, TheFirstLineWithAMarkerDecidesInTheEnginesOrder)
{
    const SubmitTarget target = engine();
    auto read = [&](const std::string &answer) {
        SubmitAnswerReader reader(target);
        reader.feed(answer);
        return reader.finish();
    };
    EXPECT_EQ(read("<p>Vielen Dank, aber Fehler</p>\r\n"), SubmitAnswer::Error);
    EXPECT_EQ(read("<p>Vielen Dank</p>\r\n<p>Fehler</p>\r\n"), SubmitAnswer::Accepted);
    EXPECT_EQ(read("Die Adresse ist ungültig"), SubmitAnswer::Rejected);
    EXPECT_EQ(read("x\nist schon vorhanden\n"), SubmitAnswer::AlreadyListed);
    EXPECT_EQ(read("Wartung bis 12 Uhr\n"), SubmitAnswer::Down);
    EXPECT_EQ(read("<html>nichts</html>"), SubmitAnswer::Unknown);
    // A marker split by a line break is not found.
    EXPECT_EQ(read("Vielen\nDank"), SubmitAnswer::Unknown);

    // Empty optional markers are never tested.
    SubmitTarget bare = target;
    bare.error.clear();
    bare.down.clear();
    SubmitAnswerReader reader(bare);
    reader.feed("Fehler bei Wartung\n");
    EXPECT_EQ(reader.finish(), SubmitAnswer::Unknown);
}

TEST(SubmitAnswers, LongLinesAreReadInPiecesAndNothingPilesUp)
{
    const SubmitTarget target = engine();
    // The marker straddles the 4,095-character boundary of one long line.
    std::string answer(SubmitAnswerReader::kMaxLine - 4, 'x');
    answer += "Vielen Dank";
    SubmitAnswerReader split(target);
    split.feed(answer);
    EXPECT_EQ(split.finish(), SubmitAnswer::Unknown);

    // A 10 MB line fed in chunks, the marker at its end: found, and the
    // reader never holds more than one piece.
    SubmitAnswerReader reader(target);
    const std::string chunk(65536, 'y');
    for (int i = 0; i < 160; ++i)
        EXPECT_FALSE(reader.feed(chunk));
    reader.feed("\nVielen Dank\n");
    EXPECT_EQ(reader.finish(), SubmitAnswer::Accepted);

    // Once decided, the rest of the answer is ignored.
    SubmitAnswerReader early(target);
    EXPECT_EQ(early.feed("Vielen Dank\nFehler\n"), SubmitAnswer::Accepted);
    EXPECT_EQ(early.finish(), SubmitAnswer::Accepted);
}

} // namespace
} // namespace vantor
