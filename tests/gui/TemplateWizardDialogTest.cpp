#include "GuiTestSupport.h"

#include "platform/Help.h"
#include "project/ProgramSettings.h"
#include "project/ProjectRecord.h"
#include "project/WizardMenu.h"
#include "templatewizard/TemplateWizardDialog.h"
#include "ui/FileFilter.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

const QString kIntro = QStringLiteral("Der Wizard erstellt für Sie eine Vorlage für die Optimierung. Wählen Sie dazu "
                                      "ein Hintergrundbild und die Farben. Diese Vorlage können Sie sich dann ansehen "
                                      "(auf \"Vorlage einsehen\" klicken).");

QRadioButton *radio(QWidget &dialog, const QString &name) { return findChildNamed<QRadioButton>(&dialog, name); }
QRadioButton *stockRadio(QWidget &dialog, int n) { return radio(dialog, QStringLiteral("stockRadio%1").arg(n)); }
QPushButton *button(QWidget &dialog, const QString &name) { return findChildNamed<QPushButton>(&dialog, name); }

// The colour the user sees in the middle of a swatch.
QColor swatchColour(QWidget &dialog, const QString &name)
{
    auto *swatch = findChildNamed<QLabel>(&dialog, name);
    if (!swatch)
        return {};
    const QImage image = swatch->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

bool swatchEnabled(QWidget &dialog, const QString &name)
{
    auto *swatch = findChildNamed<QLabel>(&dialog, name);
    return swatch && swatch->isEnabled();
}

// A pixel of the picture on a stock radio: the left half of the stock GIFs
// is the accent, the right half the light accent.
QColor previewPixel(QWidget &dialog, int n, int x)
{
    const QImage image = stockRadio(dialog, n)->icon().pixmap(TemplateWizardDialog::kPreviewWidth,
                                                               TemplateWizardDialog::kPreviewHeight).toImage();
    return image.pixelColor(x, 2);
}

} // namespace

class TemplateWizardDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        installStockTemplates();
        m_site = m_env->path() + QStringLiteral("/Gärtnerei");
        QDir().mkpath(m_site);
        m_homepage = m_site + QStringLiteral("/start.htm");
        writeAll(m_homepage, "<html><head><title>Start</title></head><body>Willkommen</body></html>");
        m_template = m_site + QStringLiteral("/vantor!!/index.htm");
    }
    void cleanup() { m_env.reset(); }

    void opensWithNothingChosenAndCreatesNothingSo()
    {
        TemplateWizardDialog dialog(toCp1252(m_homepage));
        dialog.show();
        settle();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Vorlagen-Wizard"));
        QCOMPARE(findChildNamed<QLabel>(&dialog, QStringLiteral("introText"))->text(), kIntro);
        QVERIFY(findChildNamed<QLabel>(&dialog, QStringLiteral("noteText"))
                    ->text()
                    .startsWith(QStringLiteral("Natürlich sollten Sie anschliessend die Vorlage noch an das Aussehen "
                                               "Ihrer Web-Site anpassen!")));
        QVERIFY(findChildNamed<QLabel>(&dialog, QStringLiteral("homepageLine"))->text().endsWith(m_homepage));
        for (const QString &text : {QStringLiteral("Vorlage erzeugen"), QStringLiteral("Vorlage einsehen"),
                                    QStringLiteral("Vorlage anpassen"), QStringLiteral("Hilfe"), QStringLiteral("OK")})
            QVERIFY2(findButton(&dialog, text), qPrintable(text));
        QCOMPARE(radio(dialog, QStringLiteral("plainRadio"))->text(), QStringLiteral("einfarbig"));
        QCOMPARE(radio(dialog, QStringLiteral("ownRadio"))->text(), QStringLiteral("anderes:"));
        QCOMPARE(dialog.findChildren<QRadioButton *>().size(), 20);
        for (QRadioButton *each : dialog.findChildren<QRadioButton *>())
            QVERIFY2(!each->isChecked(), qPrintable(each->objectName()));
        QCOMPARE(findChildNamed<QLineEdit>(&dialog, QStringLiteral("ownImageEdit"))->maxLength(), 259);
        QCOMPARE(swatchColour(dialog, QStringLiteral("backgroundSwatch")), QColor(0xFF, 0x8C, 0x08));
        QCOMPARE(swatchColour(dialog, QStringLiteral("textSwatch")), QColor(0, 0, 0));
        // Each stock picture shows on its radio, its stripe at the left; the
        // first eight as the copy will be, whose light accent is a third of
        // the way from the background colour to white.
        for (int n = 1; n <= 18; ++n) {
            QCOMPARE(stockRadio(dialog, n)->iconSize(), QSize(64, 40));
            QCOMPARE(previewPixel(dialog, n, 2), QColor(0xFF, 0x8C, 0x08));
            QCOMPARE(previewPixel(dialog, n, 6), n <= 8 ? QColor(0xFF, 0xB2, 0x5A) : QColor(0xFF, 0xC6, 0xA5));
        }
        QVERIFY(findButton(&dialog, QStringLiteral("Vorlage erzeugen"))->isDefault());

        QTest::mouseClick(findButton(&dialog, QStringLiteral("Vorlage erzeugen")), Qt::LeftButton);
        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));
        const ShownBox box = lastShown(QStringLiteral("message"));
        QCOMPARE(box.title, QStringLiteral("Kein Hintergrundbild gewählt"));
        QCOMPARE(box.text, QStringLiteral("Sie haben kein Hintergrundbild gewählt. Wählen Sie ein Hintergrundbild aus. "
                                          "Möchten Sie kein Hintergrundbild, wählen Sie \"einfarbig\"."));
        QVERIFY(!QFile::exists(m_template));
        QVERIFY(dialog.isVisible());

        // The dialog must fit the smallest screen the program runs on.
        const QSize frame = dialog.frameGeometry().size() - dialog.geometry().size();
        QVERIFY2(dialog.width() + frame.width() <= 1024 && dialog.height() + frame.height() <= 740,
                 qPrintable(QStringLiteral("%1x%2").arg(dialog.width()).arg(dialog.height())));
    }

    void capitalUmlautsKeepTheirDots()
    {
        // "Öffnen Sie dazu" stands on the note's first line, and a homepage
        // may well lie in a folder like this one.
        const QString homepage = m_env->path() + QStringLiteral("/Übungen/start.htm");
        TemplateWizardDialog dialog(toCp1252(homepage));
        dialog.show();
        settle();
        QLabel *note = findChildNamed<QLabel>(&dialog, QStringLiteral("noteText"));
        QVERIFY(note->text().contains(QStringLiteral("Öffnen Sie")));
        QVERIFY(umlautDotsShow(note));
        QVERIFY(umlautDotsShow(findChildNamed<QLabel>(&dialog, QStringLiteral("homepageLine"))));
    }

    void theBackgroundColourFollowsTheChoice()
    {
        TemplateWizardDialog dialog(toCp1252(m_homepage));
        dialog.show();
        settle();
        const QString swatch = QStringLiteral("backgroundSwatch");
        QPushButton *choose = button(dialog, QStringLiteral("chooseBackgroundColourButton"));

        clickIndicator(radio(dialog, QStringLiteral("plainRadio")));
        QCOMPARE(dialog.choice().background, TemplateChoice::Background::Plain);
        QCOMPARE(swatchColour(dialog, swatch), QColor(0xEB, 0xC8, 0xC8));
        QVERIFY(swatchEnabled(dialog, swatch) && choose->isEnabled());
        // The recoloured pictures show the colour they would get; the others
        // keep theirs.
        QCOMPARE(previewPixel(dialog, 1, 2), QColor(0xEB, 0xC8, 0xC8));
        QCOMPARE(previewPixel(dialog, 8, 2), QColor(0xEB, 0xC8, 0xC8));
        QCOMPARE(previewPixel(dialog, 8, 6), QColor(0xEB + 20 / 3, 0xC8 + 55 / 3, 0xC8 + 55 / 3));
        QCOMPARE(previewPixel(dialog, 9, 2), QColor(0xFF, 0x8C, 0x08));

        clickIndicator(stockRadio(dialog, 12));
        QVERIFY(stockRadio(dialog, 12)->isChecked());
        QCOMPARE(swatchColour(dialog, swatch), QColor(192, 192, 192));
        QVERIFY(!swatchEnabled(dialog, swatch) && !choose->isEnabled());
        QCOMPARE(dialog.choice().backgroundColour, (Colour{235, 200, 200}));

        clickIndicator(stockRadio(dialog, 3));
        QCOMPARE(dialog.choice().stockImage, 3);
        QCOMPARE(swatchColour(dialog, swatch), QColor(0xEB, 0xC8, 0xC8));
        QVERIFY(swatchEnabled(dialog, swatch) && choose->isEnabled());

        clickIndicator(radio(dialog, QStringLiteral("ownRadio")));
        QCOMPARE(dialog.choice().background, TemplateChoice::Background::Own);
        QCOMPARE(swatchColour(dialog, swatch), QColor(192, 192, 192));
        QVERIFY(!choose->isEnabled());
        QVERIFY(m_env->hooks().shown().empty());
    }

    void coloursComeFromTheChooserAndGoIntoTheTemplate()
    {
        TemplateWizardDialog dialog(toCp1252(m_homepage));
        dialog.show();
        settle();
        clickIndicator(stockRadio(dialog, 3));

        m_env->hooks().pushColour(QColor(0, 0, 255));
        QTest::mouseClick(button(dialog, QStringLiteral("chooseBackgroundColourButton")), Qt::LeftButton);
        QCOMPARE(swatchColour(dialog, QStringLiteral("backgroundSwatch")), QColor(0, 0, 255));
        QCOMPARE(previewPixel(dialog, 3, 2), QColor(0, 0, 255));
        QCOMPARE(previewPixel(dialog, 3, 6), QColor(0x55, 0x55, 0xFF));
        // Cancelled: the colour stays.
        m_env->hooks().pushColour(QColor());
        QTest::mouseClick(button(dialog, QStringLiteral("chooseBackgroundColourButton")), Qt::LeftButton);
        QCOMPARE(swatchColour(dialog, QStringLiteral("backgroundSwatch")), QColor(0, 0, 255));

        m_env->hooks().pushColour(QColor(0x33, 0x66, 0x99));
        QTest::mouseClick(button(dialog, QStringLiteral("chooseTextColourButton")), Qt::LeftButton);
        QCOMPARE(swatchColour(dialog, QStringLiteral("textSwatch")), QColor(0x33, 0x66, 0x99));

        // Each chooser starts from the colour in place.
        const std::vector<DialogHooks::ColourRequest> &requests = m_env->hooks().colourRequests();
        QCOMPARE(requests.size(), std::size_t(3));
        QCOMPARE(requests[0].initial, QColor(0xFF, 0x8C, 0x08));
        QCOMPARE(requests[1].initial, QColor(0, 0, 255));
        QCOMPARE(requests[2].initial, QColor(0, 0, 0));

        QTest::mouseClick(findButton(&dialog, QStringLiteral("Vorlage erzeugen")), Qt::LeftButton);
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Vorlage erstellt"));
        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));
        QVERIFY(dialog.isVisible());
        const QByteArray page = readAll(m_template);
        QVERIFY(page.contains("background=\"../back_3.gif\""));
        QVERIFY(page.contains("link=\"#0000FF\""));
        QVERIFY(page.contains("text=\"#336699\""));
        QVERIFY(page.contains("<a href=\"../start.htm\">Homepage"));
        QVERIFY(!page.contains("000000"));
        const QByteArray copied = readAll(m_site + QStringLiteral("/back_3.gif"));
        QCOMPARE(copied.mid(13, 6), QByteArray("\x00\x00\xFF\x55\x55\xFF", 6));
        QCOMPARE(copied.size(), stripedGif().size());
        QCOMPARE(QApplication::focusWidget(), findButton(&dialog, QStringLiteral("Vorlage einsehen")));
        // Enter now shows the new template; it does not ask to overwrite it.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(m_env->opened.size(), std::size_t(1));
        QCOMPARE(fromCp1252(m_env->opened.front()), m_template);
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("question")), 0);
    }

    void aPlainPageAndAnOverwriteThatIsDeclined()
    {
        TemplateWizardDialog dialog(toCp1252(m_homepage));
        dialog.show();
        settle();
        clickIndicator(radio(dialog, QStringLiteral("plainRadio")));
        QPushButton *create = findButton(&dialog, QStringLiteral("Vorlage erzeugen"));
        QTest::mouseClick(create, Qt::LeftButton);
        const QByteArray first = readAll(m_template);
        QVERIFY(first.contains("<body bgcolor=\"#EBC8C8\" text=\"#000000\" link=\"#000000\">"));
        QVERIFY(!QFile::exists(m_site + QStringLiteral("/back_1.gif")));

        // A picture this time, but the user keeps the template there is.
        clickIndicator(stockRadio(dialog, 12));
        m_env->hooks().clearShown();
        m_env->hooks().pushQuestionAnswer(false);
        QTest::mouseClick(create, Qt::LeftButton);
        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));
        QCOMPARE(lastShown(QStringLiteral("question")).title, QStringLiteral("Eine Vorlage existiert bereits"));
        QCOMPARE(readAll(m_template), first);
        QVERIFY(!QFile::exists(m_site + QStringLiteral("/back_12.gif")));

        m_env->hooks().pushQuestionAnswer(true);
        QTest::mouseClick(create, Qt::LeftButton);
        QVERIFY(readAll(m_template).contains("background=\"../back_12.gif\""));
        // The template replaced stays beside the new one.
        QCOMPARE(readAll(m_template + QStringLiteral(".bak")), first);
        // Picture 12 is not recoloured.
        QCOMPARE(readAll(m_site + QStringLiteral("/back_12.gif")), stripedGif());
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Vorlage erstellt"));
    }

    void enterInTheOverwriteQuestionKeepsTheTemplate()
    {
        TemplateWizardDialog dialog(toCp1252(m_homepage));
        dialog.show();
        settle();
        clickIndicator(radio(dialog, QStringLiteral("plainRadio")));
        QPushButton *create = findButton(&dialog, QStringLiteral("Vorlage erzeugen"));
        QTest::mouseClick(create, Qt::LeftButton);
        const QByteArray first = readAll(m_template);

        // The real box: a hasty Enter must not cost the user his template.
        m_env->hooks().setIntercepting(false);
        QString title;
        bool cancelIsDefault = false;
        bool cancelHasFocus = false;
        bool enterClosed = false;
        m_env->hooks().onNextShown([&](QWidget *window) {
            title = window->windowTitle();
            QPushButton *ok = findButton(window, QStringLiteral("OK"));
            QPushButton *cancel = findButton(window, QStringLiteral("Abbruch"));
            QVERIFY(ok && cancel);
            cancelIsDefault = cancel->isDefault() && !ok->isDefault();
            cancelHasFocus = window->focusWidget() == cancel;
            // Whatever follows is recorded again, so a wrong answer fails
            // the test instead of waiting on a box nobody closes.
            m_env->hooks().setIntercepting(true);
            QTest::keyClick(window, Qt::Key_Return);
            enterClosed = !window->isVisible();
            if (!enterClosed)
                QTest::mouseClick(cancel, Qt::LeftButton);
        });
        clickIndicator(stockRadio(dialog, 12));
        QTest::mouseClick(create, Qt::LeftButton);

        QCOMPARE(title, QStringLiteral("Eine Vorlage existiert bereits"));
        QVERIFY(cancelIsDefault);
        QVERIFY(cancelHasFocus);
        QVERIFY(enterClosed);
        QCOMPARE(readAll(m_template), first);
        QVERIFY(!QFile::exists(m_template + QStringLiteral(".bak")));
        QVERIFY(!QFile::exists(m_site + QStringLiteral("/back_12.gif")));
    }

    void anOwnPictureFromTheFileDialogOrTheField()
    {
        TemplateWizardDialog dialog(toCp1252(m_homepage));
        dialog.show();
        settle();
        auto *field = findChildNamed<QLineEdit>(&dialog, QStringLiteral("ownImageEdit"));
        QRadioButton *own = radio(dialog, QStringLiteral("ownRadio"));
        QPushButton *create = findButton(&dialog, QStringLiteral("Vorlage erzeugen"));

        clickIndicator(own);
        QTest::mouseClick(create, Qt::LeftButton);
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Kein gültiges Hintergrundbild"));
        QCOMPARE(lastShown(QStringLiteral("message")).text,
                 QStringLiteral("Die von Ihnen angegebene Datei ist nicht gültig. Bitte geben Sie eine korrekte "
                                "Grafikdatei an."));
        QVERIFY(!QFile::exists(m_template));

        // A cancelled file dialog changes nothing.
        clickIndicator(stockRadio(dialog, 5));
        m_env->hooks().pushFileName(QString());
        QTest::mouseClick(button(dialog, QStringLiteral("chooseOwnImageButton")), Qt::LeftButton);
        QVERIFY(field->text().isEmpty());
        QVERIFY(stockRadio(dialog, 5)->isChecked());

        const QString pictures = m_env->path() + QStringLiteral("/Bilder");
        QDir().mkpath(pictures);
        const QString picture = pictures + QStringLiteral("/hg.jpg");
        writeAll(picture, "kein echtes JPEG, nur Bytes");
        m_env->hooks().pushFileName(picture);
        QTest::mouseClick(button(dialog, QStringLiteral("chooseOwnImageButton")), Qt::LeftButton);
        QCOMPARE(field->text(), picture);
        QVERIFY(own->isChecked());
        const std::vector<DialogHooks::FileRequest> &requests = m_env->hooks().fileRequests();
        QCOMPARE(requests.size(), std::size_t(2));
        QCOMPARE(requests[0].caption, QStringLiteral("Hintergrundbild öffnen"));
        QCOMPARE(requests[0].directory, m_site);
        QCOMPARE(requests[0].filter, qtFileFilter(QStringLiteral("Grafik Datei (*.gif;*.jpg;*.png)|*.gif;*.jpg;*.png|"
                                                                 "Alle Dateien (*.*)|*.*||")));
        QCOMPARE(requests[1].directory, m_site);

        m_env->hooks().clearShown();
        QTest::mouseClick(create, Qt::LeftButton);
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Vorlage erstellt"));
        QVERIFY(readAll(m_template).contains("background=\"../hg.jpg\""));
        QCOMPARE(readAll(m_site + QStringLiteral("/hg.jpg")), QByteArray("kein echtes JPEG, nur Bytes"));

        // Typing a name takes "anderes:" too.
        clickIndicator(stockRadio(dialog, 2));
        field->setFocus();
        QTest::keyClick(field, Qt::Key_End);
        QTest::keyClicks(field, QStringLiteral("x"));
        QVERIFY(own->isChecked());
        QCOMPARE(dialog.choice().ownImage, toCp1252(picture + QStringLiteral("x")));
    }

    void showingAskedForBeforeThereIsATemplate()
    {
        TemplateWizardDialog dialog(toCp1252(m_homepage));
        dialog.show();
        settle();
        QPushButton *show = findButton(&dialog, QStringLiteral("Vorlage einsehen"));
        QTest::mouseClick(show, Qt::LeftButton);
        const ShownBox box = lastShown(QStringLiteral("message"));
        QCOMPARE(box.title, QStringLiteral("Vorlage fehlt"));
        QCOMPARE(box.text, QStringLiteral("Es ist noch keine Vorlage vorhanden. Bitte erstellen Sie zuerst eine Vorlage."));
        QVERIFY(m_env->opened.empty());

        clickIndicator(stockRadio(dialog, 1));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Vorlage erzeugen")), Qt::LeftButton);
        QTest::mouseClick(show, Qt::LeftButton);
        QCOMPARE(m_env->opened.size(), std::size_t(1));
        QCOMPARE(fromCp1252(m_env->opened.front()), m_template);
    }

    void helpTopicsAndOk()
    {
        TemplateWizardDialog dialog(toCp1252(m_homepage));
        dialog.show();
        settle();
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Vorlage anpassen")), Qt::LeftButton);
        QTest::mouseClick(findButton(&dialog, QStringLiteral("Hilfe")), Qt::LeftButton);
        QTest::keyClick(stockRadio(dialog, 4), Qt::Key_F1);
        QCOMPARE(m_env->helpTopics, (std::vector<int>{help::kTemplateAdjust, help::kTemplateWizard, help::kTemplateWizard}));
        QVERIFY(dialog.isVisible());
        QTest::mouseClick(findButton(&dialog, QStringLiteral("OK")), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(m_env->hooks().shown().empty());
    }

    void screenshotWithAChoice()
    {
        if (qEnvironmentVariable("VANTOR_SCREENSHOT_DIR").isEmpty())
            QSKIP("VANTOR_SCREENSHOT_DIR not set");
        TemplateWizardDialog dialog(toCp1252(m_homepage));
        dialog.show();
        settle();
        clickIndicator(stockRadio(dialog, 2));
        m_env->hooks().pushColour(QColor(0x40, 0x90, 0x40));
        QTest::mouseClick(button(dialog, QStringLiteral("chooseBackgroundColourButton")), Qt::LeftButton);
        saveScreenshot(&dialog);
    }

    void theWizardMenuAsksForTheHomepageFirst()
    {
        storeStandardProject(m_env->path() + QStringLiteral("/alt/index.htm"));
        const QByteArray projectBefore = readAll(standardProjectPath());
        // What is in memory is not what the dialog starts from.
        projectRecord().path.set("/nirgendwo/index.htm");
        WizardMenu menu;
        menu.show();
        settle();

        m_env->hooks().pushFileName(QString());
        QTest::mouseClick(findButton(&menu, QStringLiteral("Vorlagen-Wizard")), Qt::LeftButton);
        QVERIFY(m_env->hooks().shown().empty());
        const std::vector<DialogHooks::FileRequest> &requests = m_env->hooks().fileRequests();
        QCOMPARE(requests.size(), std::size_t(1));
        QCOMPARE(requests[0].caption, QStringLiteral("Homepage öffnen (Startseite der Web-Site)"));
        QCOMPARE(requests[0].directory, m_env->path() + QStringLiteral("/alt/index.htm"));

        m_env->hooks().pushFileName(m_homepage);
        QString opened;
        QString homepageLine;
        m_env->hooks().onNextShown([&](QWidget *window) {
            opened = window->objectName();
            if (auto *line = window->findChild<QLabel *>(QStringLiteral("homepageLine")))
                homepageLine = line->text();
            // The template goes beside the file just chosen.
            clickIndicator(window->findChild<QRadioButton *>(QStringLiteral("plainRadio")));
            QTest::mouseClick(findButton(window, QStringLiteral("Vorlage erzeugen")), Qt::LeftButton);
            qobject_cast<QDialog *>(window)->accept();
        });
        QTest::mouseClick(findButton(&menu, QStringLiteral("Vorlagen-Wizard")), Qt::LeftButton);
        QCOMPARE(opened, QStringLiteral("templateWizardDialog"));
        QVERIFY(homepageLine.endsWith(m_homepage));
        QVERIFY(QFile::exists(m_template));
        QVERIFY(menu.isVisible());
        // The choice is for the template only; the project keeps its homepage.
        QCOMPARE(readAll(standardProjectPath()), projectBefore);
    }

    void aProjectThatCannotBeReadStopsTheWizardMenuPath()
    {
        QFile::remove(standardProjectPath());
        WizardMenu menu;
        menu.show();
        settle();
        m_env->hooks().pushFileName(m_homepage);
        QTest::mouseClick(findButton(&menu, QStringLiteral("Vorlagen-Wizard")), Qt::LeftButton);
        QCOMPARE(m_env->hooks().shown().size(), std::size_t(1));
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Fehler beim Lesen der Daten"));
        QVERIFY(m_env->hooks().fileRequests().empty());
    }

private:
    std::unique_ptr<GuiTestEnvironment> m_env;
    QString m_site;
    QString m_homepage;
    QString m_template;
};

QTEST_MAIN(TemplateWizardDialogTest)
#include "TemplateWizardDialogTest.moc"
