#pragma once

namespace vantor::gui {

// The wait cursor for a short job that blocks without a wait window, such
// as the version check. The boxes of QtUi switch to the normal cursor while
// one stands, so a question is never answered under an hourglass.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace vantor::gui
