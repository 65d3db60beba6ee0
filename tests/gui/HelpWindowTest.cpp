#include "GuiTestSupport.h"

#include "platform/Help.h"
#include "platform/HelpWindow.h"
#include "project/InfoDialog.h"
#include "project/InternetAccessDialog.h"
#include "project/ProgramSettings.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QHBoxLayout>
#include <QTest>
#include <QTextBrowser>
#include <QWindow>

#include <algorithm>
#include <memory>
#include <vector>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

// A click as the window system delivers it, so a window that a modal dialog
// blocks never gets it - unlike QTest's clicks straight on a widget.
void clickThroughTheWindow(QWidget *button)
{
    QWidget *window = button->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      button->mapTo(window, button->rect().center()));
}

QPushButton *helpButton(const QString &name) { return findChildNamed<QPushButton>(helpWindow(), name); }

// A dialog with its buttons in a column at the top right, as several of ours
// have them, shown modal at this place.
class PlacedDialog : public QDialog
{
public:
    explicit PlacedDialog(const QRect &geometry)
    {
        auto *layout = new QHBoxLayout(this);
        layout->addStretch();
        layout->addWidget(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help,
                                               Qt::Vertical, this),
                          0, Qt::AlignTop);
        setGeometry(geometry);
        setWindowModality(Qt::ApplicationModal);
        show();
        activateWindow();
    }
    std::vector<QRect> buttons() const
    {
        std::vector<QRect> rects;
        for (const QAbstractButton *button : findChildren<QAbstractButton *>())
            rects.emplace_back(button->mapToGlobal(QPoint(0, 0)), button->size());
        return rects;
    }
};

bool coversAny(const QRect &frame, const std::vector<QRect> &buttons)
{
    return std::any_of(buttons.begin(), buttons.end(), [&](const QRect &button) { return frame.intersects(button); });
}

} // namespace

class HelpWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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

    void helpFromAModalDialogTakesInput()
    {
        // The dialog runs modal, as every dialog of ours does; its help has to
        // take clicks all the same.
        m_env->hooks().setIntercepting(false);
        bool ownedByDialog = false;
        QString shown;
        QString afterHome;
        QString afterBack;
        m_env->hooks().onNextShown([&](QWidget *dialog) {
            QTest::mouseClick(findButton(dialog, QStringLiteral("Hilfe")), Qt::LeftButton);
            QVERIFY(helpWindow() && helpWindow()->isVisible());
            QCOMPARE(QApplication::activeModalWidget(), dialog);
            settle();
            ownedByDialog = helpWindow()->owner() == dialog->windowHandle();
            shown = helpWindow()->source();
            clickThroughTheWindow(helpButton(QStringLiteral("homeButton")));
            afterHome = helpWindow()->source();
            clickThroughTheWindow(helpButton(QStringLiteral("backButton")));
            afterBack = helpWindow()->source();
            QVERIFY(dialog->isVisible());
            static_cast<QDialog *>(dialog)->reject();
        });
        InternetAccessDialog dialog;
        dialog.exec();
        QVERIFY(ownedByDialog);
        QVERIFY(shown.endsWith(QStringLiteral("/help/20.htm")));
        QVERIFY(afterHome.endsWith(QStringLiteral("/help/index.htm")));
        QVERIFY(afterBack.endsWith(QStringLiteral("/help/20.htm")));
    }

    void helpStaysUsableWhileABoxStandsOverItsDialog()
    {
        m_env->hooks().setIntercepting(false);
        QString pageDuringBox;
        QString pageAfterBox;
        m_env->hooks().onNextShown([&](QWidget *dialog) {
            QVERIFY(openHelp(help::kInternetAccess));
            m_env->hooks().onNextShown([&](QWidget *box) {
                settle();
                QCOMPARE(QApplication::activeModalWidget(), box);
                clickThroughTheWindow(helpButton(QStringLiteral("homeButton")));
                pageDuringBox = helpWindow()->source();
                static_cast<QDialog *>(box)->accept();
            });
            m_env->ui().message("Hinweis", "Ein Kasten über dem Dialog.");
            settle();
            // Back with the dialog alone, the viewer belongs to it again.
            QVERIFY(openHelp(help::kInternetAccess));
            settle();
            QCOMPARE(helpWindow()->owner(), dialog->windowHandle());
            clickThroughTheWindow(helpButton(QStringLiteral("homeButton")));
            pageAfterBox = helpWindow()->source();
            static_cast<QDialog *>(dialog)->accept();
        });
        InfoDialog dialog;
        dialog.exec();
        QVERIFY(pageDuringBox.endsWith(QStringLiteral("/help/index.htm")));
        QVERIFY(pageAfterBox.endsWith(QStringLiteral("/help/index.htm")));
    }

    void opensWhollyOnTheScreen()
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(openHelp(help::kMain));
        HelpWindow *window = helpWindow();
        QVERIFY(area.contains(window->frameGeometry()));

        // Dragged half off the screen, it comes back when asked for again.
        window->move(area.right() - 100, area.bottom() - 100);
        settle();
        QVERIFY(!area.contains(window->frameGeometry()));
        QVERIFY(openHelp(help::kInternetAccess));
        settle();
        QVERIFY(area.contains(window->frameGeometry()));
    }

    void escapeClosesIt()
    {
        QVERIFY(openHelp(help::kInternetAccess));
        QPointer<HelpWindow> window = helpWindow();
        QVERIFY(window && window->isVisible());
        QTest::keyClick(findChildNamed<QTextBrowser>(window, QStringLiteral("helpBrowser")), Qt::Key_Escape);
        QVERIFY(!window || !window->isVisible());
        // Escape with a modifier is some other key's business.
        QVERIFY(openHelp(help::kInternetAccess));
        QTest::keyClick(helpWindow(), Qt::Key_Escape, Qt::ShiftModifier);
        QVERIFY(helpWindow()->isVisible());
    }

    void opensBesideWhicheverWindowAsks()
    {
        // The main window is no modal dialog; its help goes beside it too.
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QWidget main;
        main.setGeometry(area.left() + 10, area.top() + 10, 300, 300);
        auto *button = new QPushButton(QStringLiteral("Hilfe"), &main);
        button->move(20, 250);
        main.show();
        main.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        QVERIFY(openHelp(help::kMain));
        QVERIFY(!helpWindow()->frameGeometry().intersects(main.frameGeometry()));
        QVERIFY(area.contains(helpWindow()->frameGeometry()));
    }

    void staysOffTheButtonsWhereNoSideHasRoom()
    {
        // A dialog that leaves no readable room on any side.
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        PlacedDialog dialog(area.adjusted(20, 20, -20, -20));
        QCOMPARE(QApplication::activeModalWidget(), &dialog);
        QVERIFY(openHelp(help::kInternetAccess));
        const QRect frame = helpWindow()->frameGeometry();
        QVERIFY(area.contains(frame));
        QVERIFY(!coversAny(frame, dialog.buttons()));
        // Still large enough to read.
        QVERIFY(helpWindow()->width() >= 400 && helpWindow()->height() >= 300);
    }

    void anOpenHelpMakesWayForTheButtonsOfTheNextDialog()
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(openHelp(help::kMain));
        helpWindow()->setGeometry(area.left() + 5, area.top() + 5, area.width() - 30, area.height() - 30);
        PlacedDialog dialog(QRect(area.center() - QPoint(150, 100), QSize(300, 200)));
        QVERIFY(coversAny(helpWindow()->frameGeometry(), dialog.buttons()));
        QVERIFY(openHelp(help::kInternetAccess));
        QVERIFY(!coversAny(helpWindow()->frameGeometry(), dialog.buttons()));
        QVERIFY(area.contains(helpWindow()->frameGeometry()));

        // Where it stands clear of them, it stays where the user put it.
        helpWindow()->move(area.left() + 5, area.top() + 5);
        const QPoint kept = helpWindow()->pos();
        const QSize keptSize = helpWindow()->size();
        QVERIFY(!coversAny(helpWindow()->frameGeometry(), dialog.buttons()));
        QVERIFY(openHelp(help::kMain));
        QCOMPARE(helpWindow()->pos(), kept);
        QCOMPARE(helpWindow()->size(), keptSize);
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

    void everyTopicShipsItsPageLinkedFromTheContents()
    {
        // A topic without its page silently shows the contents instead, so
        // a forgotten page goes unnoticed in the dialog that asks for it.
        const std::vector<int> topics{help::kBasics, help::kInternetAccess, help::kTOnline, help::kUserLevel,
                                      help::kWizardMenu, help::kInfo, help::kFeedback, help::kNewsletter,
                                      help::kProjects, help::kNewProject, help::kConfiguration, help::kConfigHeader,
                                      help::kConfigMeta, help::kConfigTechniques, help::kGuidelines,
                                      help::kOptimization, help::kSpaceEstimate, help::kFramePages,
                                      help::kHomepageChoice, help::kTemplateWizard, help::kTemplateAdjust,
                                      help::kWatchList, help::kTitlesPage, help::kKeywordGrid, help::kCopyTitles,
                                      help::kCopyDescriptions, help::kDoorwayPage, help::kEndWizard,
                                      help::kBeyondVantor, help::kViewer, help::kTips};
        const QString shipped = QStringLiteral(VANTOR_SOURCE_DATA_DIR "/help/");
        QFile index(shipped + QStringLiteral("index.htm"));
        QVERIFY(index.open(QIODevice::ReadOnly));
        const QString contents = QString::fromUtf8(index.readAll());
        for (const int topic : topics) {
            const QString page = QString::number(topic) + QStringLiteral(".htm");
            QVERIFY2(QFile::exists(shipped + page), qPrintable(page));
            QVERIFY2(contents.contains(QStringLiteral("href=\"") + page + QLatin1Char('"')), qPrintable(page));
        }
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
