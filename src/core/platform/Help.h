#pragma once

#include <functional>
#include <string>

namespace vantor {

// Help topics by number; each is a German HTML page help/<number>.htm of the
// program directory, help/index.htm being the main topic.
namespace help {
constexpr int kMain = 1;
constexpr int kBasics = 10;          // "Grundlagen"
constexpr int kInternetAccess = 20;  // Internet access dialog
constexpr int kTOnline = 21;         // settings for T-Online
constexpr int kUserLevel = 22;
constexpr int kWizardMenu = 30;
constexpr int kInfo = 40;
constexpr int kFeedback = 41;   // the feedback form
constexpr int kNewsletter = 42; // the "Sitecast" newsletter
constexpr int kProjects = 50;
constexpr int kNewProject = 51;     // what a new project takes over
constexpr int kConfiguration = 60;
constexpr int kConfigHeader = 61;     // "Details" of "Header-Informationen"
constexpr int kConfigMeta = 62;       // "Details" of "Standard META-Daten"
constexpr int kConfigTechniques = 63; // "Details" of "Techniken"
constexpr int kGuidelines = 64;       // how today's search-engine guidelines judge each technique
constexpr int kOptimization = 70;   // dialog "Optimierung durchführen"
constexpr int kSpaceEstimate = 71;  // kind of optimisation and its space
constexpr int kFramePages = 72;     // homepages with frames
constexpr int kHomepageChoice = 73; // choosing the homepage file
constexpr int kTemplateWizard = 74; // the template wizard dialog
constexpr int kTemplateAdjust = 75; // "Vorlage anpassen": making the template fit the site
constexpr int kWatchList = 76;      // "Merkliste Recherche"
constexpr int kBeyondVantor = 77;   // "Über Vantor!! hinaus": what else helps a ranking today
constexpr int kViewer = 78;         // documents shown without a browser
constexpr int kTitlesPage = 80;       // wizard: titles, author and description
constexpr int kKeywordGrid = 81;      // wizard: search terms of the homepage and the copies
constexpr int kCopyTitles = 82;       // wizard: titles of the copies
constexpr int kCopyDescriptions = 83; // wizard: descriptions of the copies
constexpr int kDoorwayPage = 84;      // wizard: doorway terms and start page
constexpr int kEndWizard = 85;        // "Wizard beenden?"
constexpr int kSubmission = 90;  // dialog "Anmeldung"
constexpr int kSubmitList = 91;  // dialog "Anmelde-Liste": documents and engines
constexpr int kExtensions = 92;  // dialog "Datei-Endungen"
constexpr int kResearch = 93; // dialog "Recherche"
constexpr int kPosition = 94; // dialog "Positionen ermitteln"
constexpr int kPositionList = 95; // dialog "Anmelde-Liste": search terms and engines
constexpr int kTips = 950; // tip n has 950 + n
} // namespace help

// The page of a topic; the main topic when the page is missing.
std::string helpTopicPath(int topic);

// The title of a topic's page (its <title>), for naming it where no help
// window can open; the path when the page has none.
std::string helpTopicTitle(int topic);

// Opens the topic; the GUI puts its help window here, otherwise the browser.
bool openHelp(int topic);
using HelpOpener = std::function<bool(int topic)>;
void setHelpOpener(HelpOpener opener);
// Closes the help window, if the GUI has one.
void closeHelp();
void setHelpCloser(std::function<void()> closer);

} // namespace vantor
