#pragma once

#include "GuiTestSupport.h"

#include "wizard/KeywordGridPage.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace vantor::guitest {

// Clicks the push button with this text; a missing one fails the test.
inline bool clickButton(QWidget *root, const QString &text)
{
    QPushButton *button = findButton(root, text);
    if (!button)
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

inline QLineEdit *lineEdit(QWidget *root, const QString &name) { return root->findChild<QLineEdit *>(name); }

// Types into a field as the user would: all of it replaced. QTest types
// ASCII only; umlauts go in as the keyboard's input would put them.
inline void retype(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    edit->insert(text);
}

// A wizard walk that goes wrong leaves a modal page open with nobody to
// close it. The watchdog ends whatever modal window stands unchanged for a
// few seconds, the way that ends the wizard, so a failing test fails
// instead of hanging.
class WizardWatchdog
{
public:
    WizardWatchdog()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this]() { tick(); });
        m_timer.start(250);
    }
    int rescues() const { return m_rescues; }

private:
    void tick()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal != m_seen) {
            m_seen = modal;
            m_ticks = 0;
            return;
        }
        if (!modal || ++m_ticks < 16)
            return;
        m_ticks = 0;
        ++m_rescues;
        if (QPushButton *end = modal->findChild<QPushButton *>(QStringLiteral("endButton"))) {
            end->click();
            return;
        }
        // A grid with a gap would not let go.
        if (auto *grid = qobject_cast<gui::KeywordGridPage *>(modal))
            for (QLineEdit *edit : grid->findChildren<QLineEdit *>())
                edit->clear();
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
    }

    QTimer m_timer;
    QPointer<QWidget> m_seen;
    int m_ticks = 0;
    int m_rescues = 0;
};

} // namespace vantor::guitest
