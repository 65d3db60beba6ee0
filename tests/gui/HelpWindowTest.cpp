#include "GuiTestSupport.h"

#include "platform/Help.h"
#include "platform/HelpWindow.h"
#include "project/ProgramSettings.h"
#include "ui/QtText.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextBrowser>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

class HelpWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        const QString help = m_env->path() + QStringLiteral("/Programm ü/help");
        QDir().mkpath(help);
        writePage(help + QStringLiteral("/index.htm"), "Inhalt der Hilfe");
        writePage(help + QStringLiteral("/20.htm"), "Internet Zugang");
        programSettings().programDirectory = toCp1252(m_env->path() + QStringLiteral("/Programm ü"));
        installHelpWindow();
    }
    void cleanup()
    {
        closeHelp();
        settle();
        m_env.reset();
    }

    void showsTopicsInOneWindowUntilClosed()
    {
        QVERIFY(openHelp(help::kInternetAccess));
        HelpWindow *window = helpWindow();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(window->source().endsWith(QStringLiteral("/Programm ü/help/20.htm")));
        QVERIFY(findChildNamed<QTextBrowser>(window, QStringLiteral("helpBrowser"))
                    ->toPlainText()
                    .contains(QStringLiteral("Internet Zugang")));

        // A topic without a page of its own falls back to the contents.
        QVERIFY(openHelp(help::kWizardMenu));
        QCOMPARE(helpWindow(), window);
        QVERIFY(window->source().endsWith(QStringLiteral("/help/index.htm")));

        closeHelp();
        settle();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!helpWindow());
    }

    void missingHelpSaysSo()
    {
        programSettings().programDirectory = toCp1252(m_env->path() + QStringLiteral("/nirgends"));
        QVERIFY(!openHelp(help::kMain));
        QVERIFY(helpWindow()->isVisible());
        QVERIFY(findChildNamed<QTextBrowser>(helpWindow(), QStringLiteral("helpBrowser"))
                    ->toPlainText()
                    .contains(QStringLiteral("nicht installiert")));
    }

private:
    static void writePage(const QString &path, const char *title)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("<html><body><h1>") + title + "</h1></body></html>");
    }

    std::unique_ptr<GuiTestEnvironment> m_env;
};

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
