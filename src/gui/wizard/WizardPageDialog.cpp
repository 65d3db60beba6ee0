#include "wizard/WizardPageDialog.h"

#include "platform/Help.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "ui/QtText.h"
#include "ui/UmlautRoom.h"
#include "research/WatchListView.h"
#include "research/WatchListWindow.h"
#include "wizard/LimitedTextEdit.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

namespace vantor::gui {

namespace {

bool g_analysisTimerEnabled = true;

QPushButton *pageButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// The fields a term can go into: the one-line fields and the fields of
// several lines; for the latter, mouse and drops go to their viewport.
QWidget *textFieldOf(QObject *object)
{
    if (auto *line = qobject_cast<QLineEdit *>(object))
        return line;
    if (auto *lines = qobject_cast<QPlainTextEdit *>(object))
        return lines;
    if (object && qobject_cast<QPlainTextEdit *>(object->parent())
        && static_cast<QPlainTextEdit *>(object->parent())->viewport() == object)
        return static_cast<QWidget *>(object->parent());
    return nullptr;
}

// The field's text with the terms added after it. A field that lists its
// terms with commas gets them with a comma too, any other with a blank; a
// separator the text already ends with is not doubled.
QString withTermsAdded(const QString &text, const QStringList &terms)
{
    const QString separator = text.contains(QStringLiteral(", ")) ? QStringLiteral(", ")
                              : text.contains(QLatin1Char(','))  ? QStringLiteral(",")
                                                                 : QStringLiteral(" ");
    QString result = text;
    if (separator == QStringLiteral(" ")) {
        if (!result.back().isSpace())
            result += separator;
    } else {
        while (result.endsWith(QLatin1Char(' ')))
            result.chop(1);
        result += result.endsWith(QLatin1Char(',')) ? separator.mid(1) : separator;
    }
    return result + terms.join(separator);
}

} // namespace

void WizardPageDialog::setAnalysisTimerEnabled(bool enabled) { g_analysisTimerEnabled = enabled; }

WizardPageDialog::WizardPageDialog(const QString &objectName, const QString &title, int helpTopic, Header header,
                                   Back back, QWidget *parent)
    : SkinnedDialog(parent)
{
    setObjectName(objectName);
    setWindowTitle(title);
    setHelpTopic(helpTopic);

    const QString name = fromCp1252(displayNameWizard(programSettings().currentProject));
    const QString path = fromCp1252(projectRecord().path.str());
    m_header = new QLabel(QStringLiteral("Projekt: ") + name +
                              (header == Header::PathOnNewLine ? QStringLiteral("\n") : QStringLiteral(" ")) +
                              QLatin1Char('(') + path + QLatin1Char(')'),
                          this);
    m_header->setObjectName(QStringLiteral("headerLabel"));
    m_header->setTextFormat(Qt::PlainText);
    m_header->setWordWrap(true);
    QFont bold = m_header->font();
    bold.setBold(true);
    m_header->setFont(bold);
    // "Projekt: Übersicht" must keep the dots of its first letter.
    makeRoomForUmlautDots(m_header);

    auto *watchList = m_watchList = pageButton(QStringLiteral("Merkliste"), QStringLiteral("watchListButton"), this);
    auto *helpButton = m_help = pageButton(QStringLiteral("Hilfe"), QStringLiteral("helpButton"), this);
    auto *next = m_next = pageButton(QStringLiteral("Weiter"), QStringLiteral("nextButton"), this);
    next->setDefault(true);
    auto *cancel = m_cancel = pageButton(QStringLiteral("Abbrechen"), QStringLiteral("cancelButton"), this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(watchList);
    buttons->addWidget(helpButton);
    buttons->addStretch();
    if (back == Back::Shown) {
        auto *backButton = m_back = pageButton(QStringLiteral("Zurück"), QStringLiteral("backButton"), this);
        connect(backButton, &QPushButton::clicked, this, [this]() { finish(PageResult::Back); });
        buttons->addWidget(backButton);
    }
    buttons->addWidget(next);
    buttons->addWidget(cancel);

    connect(next, &QPushButton::clicked, this, [this]() { finish(PageResult::Next); });
    connect(cancel, &QPushButton::clicked, this, &WizardPageDialog::reject);
    connect(watchList, &QPushButton::clicked, this, []() { openWatchList(false); });
    connect(helpButton, &QPushButton::clicked, this, &WizardPageDialog::onHelpClicked);

    m_content = new QVBoxLayout;
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 12);
    layout->addWidget(m_header);
    layout->addSpacing(8);
    layout->addLayout(m_content, 1);
    layout->addSpacing(10);
    layout->addLayout(buttons);

    m_analysisTimer = new QTimer(this);
    m_analysisTimer->setObjectName(QStringLiteral("analysisTimer"));
    m_analysisTimer->setSingleShot(true);
    m_analysisTimer->setInterval(1000);
    connect(m_analysisTimer, &QTimer::timeout, this, &WizardPageDialog::offerAnalysisNow);

    // A click on "Merkliste" takes the focus from the field the user was
    // filling; the term he then picks belongs in that field all the same.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { onFocusChanged(now); });
}

void WizardPageDialog::onFocusChanged(QWidget *now)
{
    QWidget *field = textFieldOf(now);
    if (field && field->window() == this)
        m_lastField = field;
}

QWidget *WizardPageDialog::termField() const
{
    // The page's own focus field where that is one, else the field the
    // user left for a button.
    QWidget *field = textFieldOf(focusWidget());
    return field ? field : m_lastField.data();
}

bool WizardPageDialog::holdsNoTerm(const QString &text) const { return text.trimmed().isEmpty(); }

bool WizardPageDialog::takeWatchListTerms(const QStringList &terms)
{
    QWidget *field = termField();
    if (!takeInto(field, terms))
        return false;
    // Back to the page, with the cursor in the field that got the term.
    activateWindow();
    field->setFocus(Qt::OtherFocusReason);
    return true;
}

std::optional<QString> WizardPageDialog::textTaking(QWidget *field, const QStringList &terms) const
{
    if (!field || terms.isEmpty() || !field->isEnabled() || !field->isVisible())
        return std::nullopt;
    if (auto *line = qobject_cast<QLineEdit *>(field)) {
        if (line->isReadOnly())
            return std::nullopt;
        const QString current = line->text();
        const QString text = holdsNoTerm(current) ? terms.join(QLatin1Char(' ')) : withTermsAdded(current, terms);
        // Cut off, a term would be another term.
        if (text.size() > line->maxLength())
            return std::nullopt;
        return text;
    }
    auto *lines = qobject_cast<QPlainTextEdit *>(field);
    if (!lines || lines->isReadOnly())
        return std::nullopt;
    const QString current = lines->toPlainText();
    const QString text = holdsNoTerm(current) ? terms.join(QLatin1Char(' ')) : withTermsAdded(current, terms);
    if (auto *limited = qobject_cast<LimitedTextEdit *>(lines);
        limited && text.size() + text.count(QLatin1Char('\n')) > limited->maxLength())
        return std::nullopt;
    return text;
}

bool WizardPageDialog::takeInto(QWidget *field, const QStringList &terms)
{
    const std::optional<QString> text = textTaking(field, terms);
    if (!text)
        return false;
    // One step for "Rückgängig", as if typed.
    if (auto *line = qobject_cast<QLineEdit *>(field)) {
        line->selectAll();
        line->insert(*text);
        return true;
    }
    auto *lines = static_cast<QPlainTextEdit *>(field);
    QTextCursor cursor(lines->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(*text);
    lines->moveCursor(QTextCursor::End);
    return true;
}

void WizardPageDialog::acceptTermDrops()
{
    if (m_dropsAccepted)
        return;
    m_dropsAccepted = true;
    const QList<QLineEdit *> lineFields = findChildren<QLineEdit *>();
    for (QLineEdit *field : lineFields)
        field->installEventFilter(this);
    const QList<QPlainTextEdit *> lineBlocks = findChildren<QPlainTextEdit *>();
    for (QPlainTextEdit *field : lineBlocks)
        field->viewport()->installEventFilter(this);
}

bool WizardPageDialog::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return SkinnedDialog::eventFilter(watched, event);
    // Only terms from the watch list; any other text drops as the field
    // itself takes it, where it is let go.
    auto *drop = static_cast<QDropEvent *>(event);
    const QStringList terms = WatchListView::termsOf(drop->mimeData());
    QWidget *field = textFieldOf(watched);
    if (terms.isEmpty() || !field)
        return SkinnedDialog::eventFilter(watched, event);
    if (type != QEvent::Drop) {
        // Refused at once where the terms would not fit, so the cursor
        // shows it before the mouse is let go.
        if (textTaking(field, terms)) {
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
        } else {
            drop->ignore();
        }
        return true;
    }
    if (takeInto(field, terms)) {
        drop->setDropAction(Qt::CopyAction);
        drop->accept();
        activateWindow();
        field->setFocus(Qt::OtherFocusReason);
    } else {
        drop->ignore();
        QApplication::beep();
    }
    return true;
}

void WizardPageDialog::buttonsAfter(QWidget *lastField)
{
    QWidget *previous = lastField;
    for (QWidget *button : {static_cast<QWidget *>(m_watchList), static_cast<QWidget *>(m_help),
                            static_cast<QWidget *>(m_back), static_cast<QWidget *>(m_next),
                            static_cast<QWidget *>(m_cancel)}) {
        if (!button)
            continue;
        setTabOrder(previous, button);
        previous = button;
    }
}

void WizardPageDialog::showEvent(QShowEvent *event)
{
    // The pages make their fields in their constructors, after ours.
    acceptTermDrops();
    SkinnedDialog::showEvent(event);
    // Once per opening: the page is shown again after a box above it closed.
    if (!m_timerStarted && g_analysisTimerEnabled)
        m_analysisTimer->start();
    m_timerStarted = true;
}

void WizardPageDialog::offerAnalysisNow()
{
    m_analysisTimer->stop();
    offerAnalysis();
}

void WizardPageDialog::reject() { finish(PageResult::Cancel); }

void WizardPageDialog::finish(PageResult result)
{
    if (!storePage(result))
        return;
    m_analysisTimer->stop();
    m_result = result;
    done(result == PageResult::Cancel ? QDialog::Rejected : QDialog::Accepted);
}

void WizardPageDialog::onHelpClicked() { openHelp(helpTopic()); }

QLabel *WizardPageDialog::adviceLabel(const QString &text, const QString &name)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    makeRoomForUmlautDots(label);
    return label;
}

QGridLayout *WizardPageDialog::beginCopyFields(const QString &adviceText, const QString &adviceName, int rowSpacing)
{
    m_content->addWidget(adviceLabel(adviceText, adviceName));
    m_content->addSpacing(8);

    auto *fields = new QGridLayout;
    fields->setHorizontalSpacing(12);
    fields->setVerticalSpacing(rowSpacing);
    fields->setColumnStretch(1, 1);
    return fields;
}

void WizardPageDialog::finishCopyFields(QGridLayout *fields, QWidget *lastField, QWidget *firstOpen)
{
    m_content->addLayout(fields);
    buttonsAfter(lastField);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    if (firstOpen)
        firstOpen->setFocus();
}

} // namespace vantor::gui
