#include "wizard/WaitCursorUi.h"

#include <QApplication>

namespace vantor::gui {

namespace {

class ArrowWhileAsking
{
public:
    ArrowWhileAsking() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowWhileAsking() { QApplication::restoreOverrideCursor(); }
    ArrowWhileAsking(const ArrowWhileAsking &) = delete;
    ArrowWhileAsking &operator=(const ArrowWhileAsking &) = delete;
};

} // namespace

WaitCursorUi::WaitCursorUi(Ui &ui)
    : m_ui(ui)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursorUi::~WaitCursorUi() { QApplication::restoreOverrideCursor(); }

void WaitCursorUi::message(const std::string &title, const std::string &text)
{
    ArrowWhileAsking arrow;
    m_ui.message(title, text);
}

bool WaitCursorUi::question(const std::string &title, const std::string &text)
{
    ArrowWhileAsking arrow;
    return m_ui.question(title, text);
}

bool WaitCursorUi::questionDefaultNo(const std::string &title, const std::string &text)
{
    ArrowWhileAsking arrow;
    return m_ui.questionDefaultNo(title, text);
}

void WaitCursorUi::systemError(const std::string &title, const std::string &text)
{
    ArrowWhileAsking arrow;
    m_ui.systemError(title, text);
}

} // namespace vantor::gui
