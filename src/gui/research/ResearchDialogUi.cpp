#include "research/ResearchDialogUi.h"

namespace vantor::gui {

ResearchDialogUi::ResearchDialogUi(Ui &boxes, QProgressBar *bar)
    : m_boxes(boxes)
    , m_bar(bar)
{
}

void ResearchDialogUi::message(const std::string &title, const std::string &text)
{
    m_boxes.message(title, text);
}

bool ResearchDialogUi::question(const std::string &title, const std::string &text)
{
    return m_boxes.question(title, text);
}

bool ResearchDialogUi::questionDefaultNo(const std::string &title, const std::string &text)
{
    return m_boxes.questionDefaultNo(title, text);
}

bool ResearchDialogUi::questionWith(
    const std::string &title, const std::string &text, const std::string &stopButton, const std::string &goButton)
{
    return m_boxes.questionWith(title, text, stopButton, goButton);
}

void ResearchDialogUi::systemError(const std::string &title, const std::string &text)
{
    m_boxes.systemError(title, text);
}

void ResearchDialogUi::showWait(const std::string &text)
{
    m_boxes.showWait(text);
}

void ResearchDialogUi::closeWait()
{
    m_boxes.closeWait();
}

ConnectionAnswer ResearchDialogUi::connectionError(
    const std::string &title, const std::string &text, bool configureCloses)
{
    return m_boxes.connectionError(title, text, configureCloses);
}

bool ResearchDialogUi::credentials(const std::string &title, std::string &user, std::string &password)
{
    return m_boxes.credentials(title, user, password);
}

void ResearchDialogUi::progress(int value, int maximum)
{
    if (!m_bar)
        return;
    m_bar->setMaximum(maximum);
    m_bar->setValue(value);
}

void ResearchDialogUi::pump()
{
    m_boxes.pump();
}

void ResearchDialogUi::pause(int milliseconds)
{
    m_boxes.pause(milliseconds);
}

} // namespace vantor::gui
