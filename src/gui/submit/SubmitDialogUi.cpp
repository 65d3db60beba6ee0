#include "submit/SubmitDialogUi.h"

#include "net/HttpGet.h"
#include "ui/QtText.h"

#include <QByteArray>
#include <QStringDecoder>

namespace vantor::gui {

namespace {

// Some of the checks' texts reach us as UTF-8 instead of cp1252 ("gültige"
// would read "gÃ¼ltige"). A German cp1252 text with umlauts is never valid
// UTF-8, so a text that is, and has bytes beyond ASCII, is taken as UTF-8.
std::string asCp1252(const std::string &text)
{
    bool beyondAscii = false;
    for (const char c : text)
        beyondAscii = beyondAscii || static_cast<unsigned char>(c) >= 0x80;
    if (!beyondAscii)
        return text;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(QByteArray::fromStdString(text));
    if (utf8.hasError())
        return text;
    return toCp1252(decoded);
}

} // namespace

SubmitDialogUi::SubmitDialogUi(Ui &boxes, QProgressBar *bar)
    : m_boxes(boxes)
    , m_bar(bar)
{
}

void SubmitDialogUi::message(const std::string &title, const std::string &text)
{
    m_boxes.message(asCp1252(title), asCp1252(text));
}

bool SubmitDialogUi::question(const std::string &title, const std::string &text)
{
    // The data files' fetch asks through here; "Starten" must not ask again.
    if (title == httpget::dialUpTitle())
        m_dialUpAsked = true;
    return m_boxes.question(title, text);
}

bool SubmitDialogUi::questionDefaultNo(const std::string &title, const std::string &text)
{
    return m_boxes.questionDefaultNo(title, text);
}

bool SubmitDialogUi::questionWith(const std::string &title, const std::string &text, const std::string &stopButton,
                                  const std::string &goButton)
{
    return m_boxes.questionWith(title, text, stopButton, goButton);
}

void SubmitDialogUi::systemError(const std::string &title, const std::string &text)
{
    m_boxes.systemError(title, text);
}

void SubmitDialogUi::showWait(const std::string &text) { m_boxes.showWait(text); }

void SubmitDialogUi::closeWait() { m_boxes.closeWait(); }

ConnectionAnswer SubmitDialogUi::connectionError(const std::string &title, const std::string &text,
                                                 bool configureCloses)
{
    return m_boxes.connectionError(title, text, configureCloses);
}

bool SubmitDialogUi::credentials(const std::string &title, std::string &user, std::string &password)
{
    return m_boxes.credentials(title, user, password);
}

void SubmitDialogUi::progress(int value, int maximum)
{
    if (!m_bar)
        return;
    m_bar->setMaximum(maximum);
    m_bar->setValue(value);
}

void SubmitDialogUi::pump() { m_boxes.pump(); }

void SubmitDialogUi::pause(int milliseconds) { m_boxes.pause(milliseconds); }

} // namespace vantor::gui
