#include "ui/ConnectionErrorDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor::gui {

namespace {

// The explanation ends with this phrase and the request's own error text
// follows; that tail is what "Details" is for.
QString errorTail(const QString &text)
{
    static const QString marker = QStringLiteral("Der exakte Fehlertext lautet: ");
    const qsizetype at = text.lastIndexOf(marker);
    if (at < 0)
        return text;
    const QString tail = text.mid(at + marker.size()).trimmed();
    return tail.isEmpty() ? QStringLiteral("(Kein Fehlertext vorhanden.)") : tail;
}

} // namespace

ConnectionErrorDialog::ConnectionErrorDialog(const QString &title, const QString &text, bool configureCloses,
                                             QWidget *parent)
    : SkinnedDialog(parent)
    , m_configureCloses(configureCloses)
{
    setObjectName(QStringLiteral("connectionErrorDialog"));
    setWindowTitle(title);

    m_text = new QLabel(text, this);
    m_text->setObjectName(QStringLiteral("textLabel"));
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setMinimumWidth(420);
    m_text->setMaximumWidth(520);

    m_details = new QPlainTextEdit(errorTail(text), this);
    m_details->setObjectName(QStringLiteral("detailsView"));
    m_details->setReadOnly(true);
    m_details->setFixedHeight(90);
    m_details->hide();

    auto *retry = new QPushButton(QStringLiteral("Nochmal"), this);
    retry->setObjectName(QStringLiteral("retryButton"));
    retry->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    auto *configure = new QPushButton(QStringLiteral("Konfigurieren"), this);
    configure->setObjectName(QStringLiteral("configureButton"));
    auto *details = new QPushButton(QStringLiteral("Details"), this);
    details->setObjectName(QStringLiteral("detailsButton"));
    connect(retry, &QPushButton::clicked, this, &ConnectionErrorDialog::onRetryClicked);
    connect(cancel, &QPushButton::clicked, this, &ConnectionErrorDialog::onCancelClicked);
    connect(configure, &QPushButton::clicked, this, &ConnectionErrorDialog::onConfigureClicked);
    connect(details, &QPushButton::clicked, this, &ConnectionErrorDialog::onDetailsClicked);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(retry);
    buttonRow->addWidget(cancel);
    buttonRow->addWidget(configure);
    buttonRow->addWidget(details);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 14);
    layout->setSpacing(14);
    layout->addWidget(m_text);
    layout->addWidget(m_details);
    layout->addLayout(buttonRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool ConnectionErrorDialog::detailsShown() const { return m_details->isVisibleTo(this); }

QString ConnectionErrorDialog::detailsText() const { return m_details->toPlainText(); }

void ConnectionErrorDialog::onRetryClicked()
{
    m_answer = ConnectionAnswer::Retry;
    accept();
}

void ConnectionErrorDialog::onCancelClicked()
{
    m_answer = ConnectionAnswer::Cancel;
    reject();
}

void ConnectionErrorDialog::onConfigureClicked()
{
    if (m_configureCloses || !m_configure) {
        m_answer = ConnectionAnswer::Configure;
        accept();
        return;
    }
    // The user fixes the settings and then decides here whether to try again.
    m_configure(this);
}

void ConnectionErrorDialog::onDetailsClicked() { m_details->setVisible(!m_details->isVisibleTo(this)); }

} // namespace vantor::gui
