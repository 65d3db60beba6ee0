#include "platform/HelpWindow.h"

#include "platform/Help.h"
#include "ui/DialogHooks.h"
#include "ui/QtText.h"
#include "ui/SkinnedDialog.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace vantor::gui {

namespace {
QPointer<HelpWindow> g_window;
} // namespace

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Vantor!! Hilfe"));
    applySkin(this);
    resize(640, 560);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    // Links to the outside belong in the browser, the help pages stay here.
    m_browser->setOpenExternalLinks(true);

    auto *back = new QPushButton(QStringLiteral("Zurück"), this);
    back->setObjectName(QStringLiteral("backButton"));
    auto *home = new QPushButton(QStringLiteral("Inhalt"), this);
    home->setObjectName(QStringLiteral("homeButton"));
    connect(back, &QPushButton::clicked, this, &HelpWindow::onBackClicked);
    connect(home, &QPushButton::clicked, this, &HelpWindow::onHomeClicked);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(home);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser, 1);
}

bool HelpWindow::showTopic(int topic)
{
    const QString path = fromCp1252(helpTopicPath(topic));
    m_topic = topic;
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        m_browser->setPlainText(QStringLiteral("Die Hilfe zu diesem Thema ist nicht installiert."));
        return false;
    }
    m_browser->setSource(QUrl::fromLocalFile(path));
    return true;
}

QString HelpWindow::source() const { return m_browser->source().toLocalFile(); }

void HelpWindow::onBackClicked() { m_browser->backward(); }

void HelpWindow::onHomeClicked() { showTopic(help::kMain); }

void installHelpWindow()
{
    setHelpOpener([](int topic) {
        if (!g_window) {
            g_window = new HelpWindow;
            g_window->setAttribute(Qt::WA_DeleteOnClose);
        }
        const bool found = g_window->showTopic(topic);
        const bool wasVisible = g_window->isVisible();
        g_window->show();
        g_window->raise();
        g_window->activateWindow();
        if (!wasVisible)
            DialogHooks::instance().notifyShown(g_window, DialogHooks::Window::Passive);
        return found;
    });
    setHelpCloser([]() {
        if (g_window)
            g_window->close();
    });
}

HelpWindow *helpWindow() { return g_window; }

} // namespace vantor::gui
