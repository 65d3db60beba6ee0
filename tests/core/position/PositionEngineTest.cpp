#include "position/PositionEngine.h"

#include <gtest/gtest.h>

using namespace vantor;

TEST(PositionEngineTest, TenFieldsAsTheDataFileHoldsThem)
{
    const auto e = PositionEngine::parse("Suchfix (Web)|www.suchfix.example|127.0.0.1:8080|GET|10^/s?q=suchbegriff"
                                         "|</div> ~|<ol>|NULL|<li>|<a    trailing words");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name, "Suchfix (Web)");
    EXPECT_EQ(e->linkPrefix, "www.suchfix.example");
    EXPECT_EQ(e->verb, "GET");
    // The '~' lets the marker end in a blank.
    EXPECT_EQ(e->resultMarker, "</div> ");
    EXPECT_FALSE(e->hasStopMarker());
    // The last field ends at white space.
    EXPECT_EQ(e->mark2, "<a");
    std::string host;
    int port = 0;
    bool https = true;
    ASSERT_TRUE(e->splitServer(host, port, https));
    EXPECT_EQ(host, "127.0.0.1");
    EXPECT_EQ(port, 8080);
    EXPECT_FALSE(https);

    // Nine fields, an empty one in between, nothing after the last '|':
    // none of them is usable.
    EXPECT_FALSE(PositionEngine::parse("a|b|c|GET|10^/x|m|s|t|u"));
    EXPECT_FALSE(PositionEngine::parse("a|b|c|GET||m|s|t|u|v"));
    EXPECT_FALSE(PositionEngine::parse("a|b|c|GET|10^/x|m|s|t|u|"));
    EXPECT_FALSE(PositionEngine::parse("a|b|c|GET|10^/x|m|s|t|u|   "));
    const auto plain = PositionEngine::parse("a|b|host.example|GET|10^/x|m|s|t|u|v");
    ASSERT_TRUE(plain);
    ASSERT_TRUE(plain->splitServer(host, port, https));
    EXPECT_EQ(port, 80);
    EXPECT_FALSE(https);
    // TLS where the field says so, on its own port or 443.
    auto tls = PositionEngine::parse("a|b|https://suche.example|GET|10^/x|m|s|t|u|v");
    ASSERT_TRUE(tls->splitServer(host, port, https));
    EXPECT_EQ(host, "suche.example");
    EXPECT_EQ(port, 443);
    EXPECT_TRUE(https);
    tls = PositionEngine::parse("a|b|https://suche.example:8443|GET|10^/x|m|s|t|u|v");
    ASSERT_TRUE(tls->splitServer(host, port, https));
    EXPECT_EQ(port, 8443);
    EXPECT_TRUE(plain->hasStopMarker());
    const auto badPort = PositionEngine::parse("a|b|host:99999|GET|10^/x|m|s|t|u|v");
    EXPECT_FALSE(badPort->splitServer(host, port, https));
    // Fields are cut to their widths.
    const auto longName = PositionEngine::parse(std::string(300, 'n') + "|b|c|GET|10^/x|m|s|t|u|v");
    EXPECT_EQ(longName->name.size(), PositionEngine::kMaxName);
}

TEST(PositionEngineTest, RequestPagesWithTheTermPutIn)
{
    PositionRequest r = PositionRequest::build("10^/s?q=suchbegriff&p=1^/s?q=suchbegriff&p=2^/s?suchbegriff", "auto");
    EXPECT_EQ(r.perPage, 10);
    EXPECT_EQ(r.paths, (std::vector<std::string>{"/s?q=auto&p=1", "/s?q=auto&p=2", "/s?auto"}));
    EXPECT_EQ(r.depth(), 30);

    // Blanks, umlauts (cp1252) and what would break the query.
    r = PositionRequest::build("20^/s?q=suchbegriff", "g\xE4rtnerei & co?");
    EXPECT_EQ(r.paths, std::vector<std::string>{"/s?q=g%E4rtnerei+%26+co%3F"});

    // An empty part ends the pages; ten at most, the last up to white space.
    r = PositionRequest::build("10^/a^^/c", "x");
    EXPECT_EQ(r.paths, std::vector<std::string>{"/a"});
    std::string eleven = "5";
    for (int i = 1; i <= 11; ++i)
        eleven += "^/p" + std::to_string(i);
    r = PositionRequest::build(eleven + " rest", "x");
    ASSERT_EQ(r.paths.size(), PositionEngine::kMaxPages);
    // The last page is read like a word: a further '^' does not end it.
    EXPECT_EQ(r.paths.back(), "/p10^/p11");
    EXPECT_EQ(r.depth(), 50);
    EXPECT_EQ(PositionRequest::build("viele^/a", "x").perPage, 0);
    EXPECT_TRUE(PositionRequest::build("", "x").paths.empty());
}

TEST(PositionEngineTest, OfferedNamesAndTheEntryOfAName)
{
    const std::string text = "SYSTEM.active=0\r\nP.1=Alpha|a|a|GET|10^/a|x|s|t|u|v\r\n"
                             "P.2=Beta kurz|b|b|GET\r\nP.3=Gamma|g|g|GET|10^/g|x|s|t|u|v\r\n"
                             "P.5=Delta|d|d|GET|10^/d|x|s|t|u|v\r\n";
    EXPECT_EQ(positionengines::offered(text), (std::vector<std::string>{"Alpha", "Beta kurz", "Gamma"}));
    EXPECT_EQ(positionengines::find(text, "Gamma")->linkPrefix, "g");
    // The first value that contains the name, whole entry or not.
    EXPECT_FALSE(positionengines::find(text, "Beta"));
    EXPECT_EQ(positionengines::find(text, "a")->name, "Alpha");
    EXPECT_FALSE(positionengines::find(text, "Delta"));
}
