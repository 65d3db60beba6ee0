#pragma once

#include <QStringList>

namespace vantor::gui {

// A dialog whose text fields take terms from the watch list: a double-click
// on a row hands its text to the modal dialog behind the list, if that
// dialog is one of these.
class WatchListTarget
{
public:
    // Puts the terms into the field that last had the focus. False when
    // there is no such field or the terms do not fit into it.
    virtual bool takeWatchListTerms(const QStringList &terms) = 0;

protected:
    ~WatchListTarget() = default;
};

} // namespace vantor::gui
