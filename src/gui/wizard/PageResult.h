#pragma once

namespace vantor::gui {

// How a page of the site data wizard ends: its back button, its OK button,
// or cancel (the button, Escape, the window's close box). The sequence
// decides what comes next.
enum class PageResult { Back, Next, Cancel };

} // namespace vantor::gui
