#include "optimizer/OptimizationRunUi.h"

#include <QApplication>
#include <QCursor>

namespace vantor::gui {

OptimizationRunUi::OptimizationRunUi(Ui &boxes, QProgressBar *bar)
    : m_boxes(boxes)
    , m_bar(bar)
{
}

OptimizationRunUi::~OptimizationRunUi() { setWaiting(false); }

void OptimizationRunUi::setWaiting(bool waiting)
{
    if (waiting == m_waiting)
        return;
    m_waiting = waiting;
    if (waiting)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

OptimizationRunUi::Answering::Answering(const OptimizationRunUi &ui)
    : m_arrow(ui.waiting())
{
    if (m_arrow)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
}

OptimizationRunUi::Answering::~Answering()
{
    if (m_arrow)
        QApplication::restoreOverrideCursor();
}

void OptimizationRunUi::message(const std::string &title, const std::string &text)
{
    Answering arrow(*this);
    m_boxes.message(title, text);
}

bool OptimizationRunUi::question(const std::string &title, const std::string &text)
{
    Answering arrow(*this);
    return m_boxes.question(title, text);
}

bool OptimizationRunUi::questionDefaultNo(const std::string &title, const std::string &text)
{
    Answering arrow(*this);
    return m_boxes.questionDefaultNo(title, text);
}

void OptimizationRunUi::systemError(const std::string &title, const std::string &text)
{
    Answering arrow(*this);
    m_boxes.systemError(title, text);
}

void OptimizationRunUi::showWait(const std::string &text) { m_boxes.showWait(text); }

void OptimizationRunUi::closeWait() { m_boxes.closeWait(); }

ConnectionAnswer OptimizationRunUi::connectionError(const std::string &title, const std::string &text,
                                                    bool configureCloses)
{
    Answering arrow(*this);
    return m_boxes.connectionError(title, text, configureCloses);
}

bool OptimizationRunUi::credentials(const std::string &title, std::string &user, std::string &password)
{
    Answering arrow(*this);
    return m_boxes.credentials(title, user, password);
}

void OptimizationRunUi::progress(int value, int maximum)
{
    if (!m_bar)
        return;
    m_bar->setMaximum(maximum);
    m_bar->setValue(value);
}

void OptimizationRunUi::pump() { QApplication::processEvents(); }

void OptimizationRunUi::pause(int milliseconds) { m_boxes.pause(milliseconds); }

} // namespace vantor::gui
