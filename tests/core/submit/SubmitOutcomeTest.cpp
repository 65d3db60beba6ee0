#include "submit/SubmitOutcome.h"

#include "platform/Text.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using O = SubmitOutcome;

TEST(SubmitSummary, TheLastRuleThatAppliesNamesTheTarget)
{
    // Down and time-outs are not counted: the engine simply was not there.
    EXPECT_EQ(submitoutcome::summarize("Sucher", {O::Down, O::NoAnswer, O::Accepted}).line,
              "Sucher: Anmeldung erfolgreich abgeschlossen");
    EXPECT_TRUE(submitoutcome::summarize("Sucher", {O::Down, O::NoAnswer}).advice.empty());

    // Already listed alone is still a success.
    EXPECT_EQ(submitoutcome::summarize("Sucher", {O::AlreadyListed}).line,
              "Sucher: Anmeldung erfolgreich abgeschlossen");

    const submitoutcome::Summary rejected = submitoutcome::summarize("Sucher", {O::Rejected, O::AlreadyListed});
    EXPECT_EQ(rejected.line, "Sucher: Mind. 1 Dokument ist bereits angemeldet");
    ASSERT_EQ(rejected.advice.size(), 2u);
    EXPECT_EQ(rejected.advice[0].rfind(de("Wählen Sie eine andere Top-Level Domain"), 0), 0u);

    const submitoutcome::Summary invalid = submitoutcome::summarize("Liste: K (3)", {O::Unknown, O::Accepted});
    EXPECT_EQ(invalid.line, de("Liste: K (3): Mind. 1 Dokument ergab ungültige Antwort vom Webserver"));
    ASSERT_EQ(invalid.advice.size(), 2u);
    EXPECT_NE(invalid.advice[0].find("support@keldrum.de."), std::string::npos);
    EXPECT_TRUE(invalid.reportToMaker);

    EXPECT_EQ(submitoutcome::summarize("S", {O::Redirected, O::Refused}).line,
              "S: Anmeldung wurde unterbrochen durch internen Fehler");
    EXPECT_FALSE(submitoutcome::summarize("S", {O::EngineError}).reportToMaker);
}

TEST(SubmitSummary, ListsTakeALineOnlyOnceWhateverItsCase)
{
    std::vector<std::string> list{"Sucher: Anmeldung erfolgreich abgeschlossen"};
    EXPECT_FALSE(submitoutcome::addUnlessBegun(list, "SUCHER: Anmeldung"));
    EXPECT_TRUE(submitoutcome::addUnlessBegun(list, "Finder: Anmeldung erfolgreich abgeschlossen"));
    EXPECT_EQ(list.size(), 2u);
}

TEST(SubmitSummary, EveryFinalOutcomeHasItsTextAndImage)
{
    EXPECT_EQ(submitoutcome::text(O::Accepted), "Erfolgreich angemeldet");
    EXPECT_EQ(submitoutcome::image(O::Accepted), 3);
    EXPECT_EQ(submitoutcome::text(O::NotFound), submitoutcome::text(O::EngineError));
    EXPECT_EQ(submitoutcome::image(O::NoAnswer), 8);
    EXPECT_EQ(submitoutcome::image(O::Unknown), 4);
    EXPECT_EQ(submitoutcome::fromAnswer(SubmitAnswer::Error), O::EngineError);
    EXPECT_EQ(static_cast<int>(O::Pending), 0);
}

} // namespace
} // namespace vantor
