#pragma once

#include <functional>
#include <utility>

class QWidget;

namespace vantor::gui {

// "Merkliste" on the wizard pages opens the research watch list. The pages
// only know this hook; whoever owns the watch-list window puts its opener
// here, and until then the button does nothing.
using WatchListOpener = std::function<void(QWidget *page)>;

inline WatchListOpener &watchListOpenerSlot()
{
    static WatchListOpener opener;
    return opener;
}

inline void setWatchListOpener(WatchListOpener opener) { watchListOpenerSlot() = std::move(opener); }

inline void openWatchList(QWidget *page)
{
    if (const WatchListOpener &opener = watchListOpenerSlot())
        opener(page);
}

} // namespace vantor::gui
