#include "research/ResearchStart.h"

#include "net/DataFileFetch.h"
#include "net/HttpGet.h"
#include "net/ServiceCheck.h"
#include "optimizer/TermText.h"
#include "platform/Files.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "research/WatchList.h"
#include "ui/Ui.h"

#include <algorithm>
#include <string_view>

namespace vantor::research {

namespace {

constexpr std::string_view kAllowed = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";

bool allowed(char c)
{
    if (kAllowed.find(c) != std::string_view::npos)
        return true;
    // ä ö ü Ä Ö Ü ß in cp1252
    const auto b = static_cast<unsigned char>(c);
    return b == 0xE4 || b == 0xF6 || b == 0xFC || b == 0xC4 || b == 0xD6 || b == 0xDC || b == 0xDF;
}

void tooShort(Ui &ui)
{
    ui.message("Suchbegriff zu kurz", de("Alle Suchbegriffe müssen mindestens 3 Buchstaben lang sein."));
}

void empty(Ui &ui) { ui.message("Suchbegriff eingeben", "Bitte geben Sie einen Suchbegriff ein."); }

bool askDialUp(DialogState &state, Ui &ui)
{
    state.askedBeforeConnect = true;
    return ui.question(httpget::dialUpTitle(), httpget::dialUpText());
}

} // namespace

std::string projectCaption(const std::string &projectName, const std::string &homepagePath)
{
    return "Projekt: " + displayNameWizard(projectName) + " (" + homepagePath + ")";
}

bool dataFilePresent(Ui &ui)
{
    if (!files::isFile(DataFileFetch::path(kDataFile)))
        DataFileFetch::fetch({kDataFile}, ui);
    if (files::isFile(DataFileFetch::path(kDataFile)))
        return true;
    ui.message(de("Datei fehlt!"),
               de("Datei 'Research_d.dat' im Unterverzeichnis '\\Data' von Vantor!! nicht gefunden. Recherche kann "
                  "nicht ausgeführt werden.\nStellen Sie die Datei wieder her oder installieren Sie Vantor!! neu."));
    return false;
}

std::optional<Terms> checkTerm(const std::string &typed, bool asOneWord, Ui &ui)
{
    if (typed.empty()) {
        empty(ui);
        return std::nullopt;
    }
    if (typed.size() < 3) {
        tooShort(ui);
        return std::nullopt;
    }
    if (typed.size() > kMaxTerm) {
        ui.message("Suchbegriff zu lang", "Bitte geben Sie einen Suchbegriff mit bis zu 30 Buchstaben ein.");
        return std::nullopt;
    }
    for (const char c : typed) {
        if (!allowed(c)) {
            ui.message(de("Ungültige Zeichen"),
                       de("Bitte geben Sie nur Zeichen von 'a-z','A-Z', '0-9' sowie Umlaute und 'ß' ein."));
            return std::nullopt;
        }
    }
    const std::string term = asOneWord ? spacesToPlus(typed) : typed;
    Terms terms;
    terms.mode = typed.find(' ') == std::string::npos ? ResearchMode::OneWord : ResearchMode::Phrase;
    if (term.find(' ') == std::string::npos) {
        terms.term1 = term;
        return terms;
    }
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < term.size() && words.size() < 3) {
        const std::size_t end = std::min(term.find(' ', at), term.size());
        if (end > at)
            words.push_back(term.substr(at, end - at));
        at = end + 1;
    }
    if (words.empty()) {
        empty(ui);
        return std::nullopt;
    }
    if (words.size() >= 3) {
        ui.message("Zuviele Suchbegriffe",
                   de("Bitte geben Sie maximal 2 Suchbegriffe mit insgesamt bis zu 30 Buchstaben ein. 3 oder mehr "
                      "Suchbegriffe können nicht einzeln verarbeitet werden. Bitte wählen Sie dann \"als ein Wort\"."));
        return std::nullopt;
    }
    if (words.size() == 2) {
        if (words[0].size() < 3 || words[1].size() < 3) {
            tooShort(ui);
            return std::nullopt;
        }
        terms.mode = ResearchMode::TwoTerms;
        terms.term1 = words[0];
        terms.term2 = words[1];
        return terms;
    }
    terms.term1 = removeSpaces(term);
    if (terms.term1.size() < 3) {
        tooShort(ui);
        return std::nullopt;
    }
    return terms;
}

Outcome startResearch(const std::string &typed, bool asOneWord, DialogState &state, Ui &ui, ResearchView &view)
{
    Outcome outcome;
    ui.progress(0, ResearchRun::kProgressMax);
    view.listsCleared();
    const std::optional<Terms> terms = checkTerm(typed, asOneWord, ui);
    if (!terms)
        return outcome;
    ui.progress(1, ResearchRun::kProgressMax);

    const bool inform = programSettings().httpInform != 0;
    if (!DataFileFetch::fetched(kDataFile)) {
        if (inform && !askDialUp(state, ui)) {
            ui.progress(0, ResearchRun::kProgressMax);
            return outcome;
        }
        DataFileFetch::fetch({kDataFile}, ui, false);
    }
    ui.progress(2, ResearchRun::kProgressMax);

    std::string text;
    const ServiceCheck::Texts texts{ResearchRun::readErrorTitle(), ResearchRun::readErrorText()};
    const ServiceCheck::Result check
        = ServiceCheck::run(DataFileFetch::path(kDataFile), kNoticeFlag, texts, ui, settingsStore(), text);
    if (check != ServiceCheck::Result::Go) {
        if (check != ServiceCheck::Result::ReadError)
            ui.progress(0, ResearchRun::kProgressMax);
        return outcome;
    }
    ui.progress(3, ResearchRun::kProgressMax);

    if (!state.askedBeforeConnect && inform && !askDialUp(state, ui)) {
        ui.progress(0, ResearchRun::kProgressMax);
        return outcome;
    }

    ResearchRun run(std::move(text), ui, view);
    outcome.status = run.run(terms->term1, terms->term2, terms->mode) == ResearchRun::Result::Finished
        ? Outcome::Status::Finished
        : Outcome::Status::Stopped;
    outcome.keywords = run.rows(ResearchList::Keywords);
    outcome.variants = run.rows(ResearchList::Variants);
    return outcome;
}

std::vector<std::string> rowsToRemember(const std::vector<std::string> &rows, const std::vector<bool> *selected)
{
    const std::string placeholder = ResearchRun::noTermsText();
    std::vector<std::string> taken;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (selected && (i >= selected->size() || !(*selected)[i]))
            continue;
        const std::string text = rows[i].substr(0, WatchList::kMaxText);
        if (placeholder.find(text) != std::string::npos)
            break;
        taken.push_back(text);
    }
    return taken;
}

bool rememberTerms(const std::string &projectName, const std::vector<std::string> &rows,
                   const std::vector<bool> *selected, int kind)
{
    const bool anySelected
        = selected == nullptr || std::find(selected->begin(), selected->end(), true) != selected->end();
    if (!anySelected)
        return true;
    const std::vector<std::string> taken = rowsToRemember(rows, selected);
    WatchList list;
    return list.update(projectName, [&](WatchList &current) {
        for (const std::string &text : taken)
            current.add(text, kind);
        return true;
    });
}

} // namespace vantor::research
