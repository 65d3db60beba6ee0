#pragma once

#include <array>
#include <string>

namespace vantor {

struct ProjectOptions;

// How today's published guidelines of the large search engines judge each
// technique the optimiser can apply. The techniques come from an earlier
// time; a site owner who runs them now must see which of them help, which
// do nothing and which can cost the site its ranking.
namespace guidelines {

enum class Mark { Recommended, Ineffective, Risky };

struct Technique {
    // An option code, "hiddenForm", or "makedirs" for the doorway pages
    // (the project's permission to create directories, which they need).
    const char *code;
    const char *label; // as a user knows the technique (UTF-8)
    Mark mark;
    const char *reason; // one sentence, naming the guideline (UTF-8)
};

constexpr int kTechniqueCount = 24;
const std::array<Technique, kTechniqueCount> &techniques();
// The entry of a code, or nullptr for codes without an effect of their own.
const Technique *find(const std::string &code);

// Label and reason in cp1252, as the dialog, the report and the CLI take texts.
std::string label(const Technique &technique);
std::string reason(const Technique &technique);

// "empfohlen", "wirkungslos", "riskant".
const char *markText(Mark mark);

// The documents the reasons name, for the help page and the report.
constexpr const char *kGoogleSpamPolicies = "Google Search Essentials, Spam-Richtlinien";
constexpr const char *kBingGuidelines = "Bing Webmaster Guidelines";

// "Zeitgemäß": every risky and ineffective technique off, every recommended
// one on for the homepage and the copies and doorway pages, no copies. The
// doorway pages go with the project's makedirs, which the caller clears;
// codes without an effect and the start signs stay as they are.
void applyModern(ProjectOptions &options);

} // namespace guidelines
} // namespace vantor
