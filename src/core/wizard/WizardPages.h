#pragma once

namespace vantor {

// How a page of the site data wizard ends: its back button, its OK button,
// or cancel (the button, Escape, the window's close box). The sequence
// decides what comes next.
enum class PageResult { Back, Next, Cancel };

// The data pages of the full wizard, in their order.
enum class WizardPage { Titles, KeywordGrid, CopyTitles, CopyDescriptions, Doorways, KindOfOptimisation };

// The answer of "Wizard beenden?".
enum class EndChoice { End, EndAndSave, BackToWizard };

} // namespace vantor
