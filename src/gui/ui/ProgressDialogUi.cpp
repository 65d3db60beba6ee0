#include "ui/ProgressDialogUi.h"

#include "net/HttpGet.h"
#include "ui/QtText.h"

namespace vantor::gui {

ProgressDialogUi::ProgressDialogUi(Ui &boxes, QProgressBar *bar)
    : m_boxes(boxes)
    , m_bar(bar)
{
}

void ProgressDialogUi::message(const std::string &title, const std::string &text)
{
    m_boxes.message(title, text);
}

bool ProgressDialogUi::question(const std::string &title, const std::string &text)
{
    // The data files' fetch asks through here; "Starten" must not ask again.
    if (title == httpget::dialUpTitle())
        m_dialUpAsked = true;
    return m_boxes.question(title, text);
}

bool ProgressDialogUi::questionDefaultNo(const std::string &title, const std::string &text)
{
    return m_boxes.questionDefaultNo(title, text);
}

bool ProgressDialogUi::questionWith(const std::string &title, const std::string &text, const std::string &stopButton,
                                  const std::string &goButton)
{
    return m_boxes.questionWith(title, text, stopButton, goButton);
}

void ProgressDialogUi::systemError(const std::string &title, const std::string &text)
{
    m_boxes.systemError(title, text);
}

void ProgressDialogUi::showWait(const std::string &text) { m_boxes.showWait(text); }

void ProgressDialogUi::closeWait() { m_boxes.closeWait(); }

ConnectionAnswer ProgressDialogUi::connectionError(const std::string &title, const std::string &text,
                                                 bool configureCloses)
{
    return m_boxes.connectionError(title, text, configureCloses);
}

bool ProgressDialogUi::credentials(const std::string &title, std::string &user, std::string &password)
{
    return m_boxes.credentials(title, user, password);
}

void ProgressDialogUi::progress(int value, int maximum)
{
    if (!m_bar)
        return;
    m_bar->setMaximum(maximum);
    m_bar->setValue(value);
}

void ProgressDialogUi::pump() { m_boxes.pump(); }

void ProgressDialogUi::pause(int milliseconds) { m_boxes.pause(milliseconds); }

} // namespace vantor::gui
