#pragma once

#include "research/WatchListTarget.h"
#include "ui/SkinnedDialog.h"
#include "wizard/PageResult.h"

#include <QPointer>

#include <optional>

class QBoxLayout;
class QGridLayout;
class QLabel;
class QPushButton;
class QTimer;

namespace vantor::gui {

// What the data pages of the site wizard share: the header line with the
// project and its homepage, the row of "Zurück", "Weiter", "Abbrechen",
// "Merkliste" and "Hilfe", and the way a page ends. Every way out stores the
// page first; a page whose fields cannot be stored as they are stays open.
// Terms of the watch list come into its text fields by double-click (into
// the field that last had the focus) or by drag and drop.
class WizardPageDialog : public SkinnedDialog, public WatchListTarget
{
    Q_OBJECT
public:
    PageResult pageResult() const { return m_result; }

    bool takeWatchListTerms(const QStringList &terms) override;
    // The text field a double-clicked term goes into, or null.
    QWidget *termField() const;

    // Escape and the window's close box end the page as "Abbrechen" does.
    void reject() override;

    // The page offers a second after it opened to read its data from the
    // homepage. Tests switch the timer off and ask at once instead.
    static void setAnalysisTimerEnabled(bool enabled);
    QTimer *analysisTimer() const { return m_analysisTimer; }
    void offerAnalysisNow();

    QLabel *headerLabel() const { return m_header; }

protected:
    enum class Header { PathOnNewLine, PathAfterBlank };
    enum class Back { Shown, None };

    WizardPageDialog(const QString &objectName, const QString &title, int helpTopic, Header header, Back back,
                     QWidget *parent);

    // The page's own widgets go here, between header and buttons.
    QBoxLayout *contentLayout() const { return m_content; }
    // A paragraph of advice on the page: plain text, wrapped.
    QLabel *adviceLabel(const QString &text, const QString &name);

    // The buttons come after the page's fields when tabbing, as they stand
    // below them.
    void buttonsAfter(QWidget *lastField);
    // The copy pages: their advice above a grid of nine labelled fields,
    // which the page fills; then the grid goes in, the buttons follow the
    // last field and the first open one gets the focus.
    QGridLayout *beginCopyFields(const QString &advice, const QString &adviceName, int rowSpacing);
    void finishCopyFields(QGridLayout *fields, QWidget *lastField, QWidget *firstOpen);

    // Moves the fields into the record. False keeps the page open (the
    // reason has been shown).
    virtual bool storePage(PageResult result) = 0;
    // Asked when the timer fires; the page decides whether there is
    // anything to offer.
    virtual void offerAnalysis() {}
    // A field showing this holds no term of the user's: a term taken in
    // replaces it instead of being added to it.
    virtual bool holdsNoTerm(const QString &text) const;

    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void finish(PageResult result);
    void onHelpClicked();
    void onFocusChanged(QWidget *now);
    // The field's text with the terms taken in: replacing what holds no
    // term, else added after it. Nothing when the field takes no text now
    // or they would not fit.
    std::optional<QString> textTaking(QWidget *field, const QStringList &terms) const;
    bool takeInto(QWidget *field, const QStringList &terms);
    // The fields accept terms dragged from the watch list.
    void acceptTermDrops();

    QLabel *m_header = nullptr;
    QPushButton *m_watchList = nullptr;
    QPushButton *m_help = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_cancel = nullptr;
    QBoxLayout *m_content = nullptr;
    QTimer *m_analysisTimer = nullptr;
    bool m_timerStarted = false;
    bool m_dropsAccepted = false;
    QPointer<QWidget> m_lastField;
    PageResult m_result = PageResult::Cancel;
};

} // namespace vantor::gui
