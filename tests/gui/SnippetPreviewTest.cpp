#include "WizardPagesSupport.h"

#include "platform/Profile.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectOptions.h"
#include "project/ProjectRecord.h"
#include "ui/QtText.h"
#include "wizard/LimitedTextEdit.h"
#include "wizard/SnippetPreview.h"
#include "wizard/SnippetWidth.h"
#include "wizard/TitlesPage.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLabel>
#include <QTest>

#include <cmath>
#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

QString labelText(QWidget *root, const QString &name)
{
    auto *label = root->findChild<QLabel *>(name);
    return label ? label->text() : QStringLiteral("<%1 fehlt>").arg(name);
}

QColor labelColor(QWidget *root, const QString &name)
{
    return root->findChild<QLabel *>(name)->palette().color(QPalette::WindowText);
}

const QColor kRed(0xc0, 0x00, 0x00);
const QColor kOrange(0xc8, 0x64, 0x00);

QString count(const char *what, const QString &text, double size, double limit)
{
    const std::string bytes = toCp1252(text);
    return QStringLiteral("%1: %2 von %3 Pixel, %4 Zeichen")
        .arg(QString::fromLatin1(what))
        .arg(std::lround(snippet::width(bytes, size)))
        .arg(std::lround(limit))
        .arg(bytes.size());
}

} // namespace

class SnippetPreviewTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        WizardPageDialog::setAnalysisTimerEnabled(false);
        ResetProjectRecord();
        RestoreStandardOptions();
        projectRecord().path.set(toCp1252(m_env->path() + QStringLiteral("/site/index.htm")));
        projectRecord().deriveHomepageFields();
    }
    void cleanup()
    {
        WizardPageDialog::setAnalysisTimerEnabled(true);
        m_env.reset();
    }

    void typingOnThePageUpdatesTextsAndCountsWithoutMovingTheLayout()
    {
        TitlesPage page;
        page.show();
        settle();
        const QSize before = page.size();
        QLineEdit *title = lineEdit(&page, QStringLiteral("title1Edit"));
        auto *description = page.findChild<LimitedTextEdit *>(QStringLiteral("descriptionEdit"));
        QVERIFY(title && description);

        title->setFocus();
        QTest::keyClicks(title, "Baumschule Lindenfeld");
        QCOMPARE(labelText(&page, QStringLiteral("desktopTitle")), QStringLiteral("Baumschule Lindenfeld"));
        QCOMPARE(labelText(&page, QStringLiteral("mobileTitle")), QStringLiteral("Baumschule Lindenfeld"));
        QCOMPARE(labelText(&page, QStringLiteral("desktopTitleCount")),
            count("Titel", QStringLiteral("Baumschule Lindenfeld"), 20, 600));
        QVERIFY(labelText(&page, QStringLiteral("desktopTitleCount")).endsWith(QStringLiteral(", 21 Zeichen")));

        // Only the first title is the homepage's.
        QTest::keyClicks(lineEdit(&page, QStringLiteral("title2Edit")), "Anderes");
        QCOMPARE(labelText(&page, QStringLiteral("desktopTitle")), QStringLiteral("Baumschule Lindenfeld"));

        // Long enough to be cut: whole words and " …", as the engine cuts.
        const QString longTitle = QStringLiteral(
            "Baumschule Lindenfeld: Obstbäume, Rosen, Stauden und Hecken aus eigener Anzucht seit 1921");
        retype(title, longTitle);
        const QString cut = fromCp1252(snippet::cut(toCp1252(longTitle), 20, 600));
        QVERIFY(cut.endsWith(QStringLiteral(" …")));
        QCOMPARE(labelText(&page, QStringLiteral("desktopTitle")), cut);
        QCOMPARE(labelText(&page, QStringLiteral("desktopTitleCount")),
            count("Titel", longTitle, 20, 600) + QStringLiteral(" – wird gekürzt"));
        QCOMPARE(labelColor(&page, QStringLiteral("desktopTitleCount")), kRed);

        // The description fits a desktop list but not a phone's.
        const QString text = QStringLiteral("Obstbäume, Rosen und Stauden aus eigener Anzucht: alte Sorten, "
                                            "Beratung vor Ort und Versand in ganz Deutschland, dazu Pflanzkurse.");
        description->setFocus();
        description->insertPlainText(text);
        const double width = snippet::width(toCp1252(text), 14);
        QVERIFY(width > 680 && width < 874);
        QCOMPARE(labelText(&page, QStringLiteral("desktopDescription")), text);
        QCOMPARE(labelText(&page, QStringLiteral("desktopDescriptionCount")), count("Beschreibung", text, 14, 920));
        QCOMPARE(
            labelText(&page, QStringLiteral("mobileDescription")), fromCp1252(snippet::cut(toCp1252(text), 14, 680)));
        QCOMPARE(labelText(&page, QStringLiteral("mobileDescriptionCount")),
            count("Beschreibung", text, 14, 680) + QStringLiteral(" – wird gekürzt"));
        QVERIFY(labelColor(&page, QStringLiteral("desktopDescriptionCount")) != kRed);
        QCOMPARE(labelColor(&page, QStringLiteral("mobileDescriptionCount")), kRed);

        // Line breaks and blanks around it are what the browser drops.
        description->setStoredText(QStringLiteral("  Erste Zeile\r\nzweite  Zeile "));
        QCOMPARE(labelText(&page, QStringLiteral("desktopDescription")), QStringLiteral("Erste Zeile zweite Zeile"));

        settle();
        QCOMPARE(page.size(), before);
        page.reject();
    }

    void thePixelsDecideNotTheCharacters()
    {
        SnippetPreview preview;
        preview.setTitle(QString(60, QLatin1Char('W')));
        QCOMPARE(labelColor(&preview, QStringLiteral("desktopTitleCount")), kRed);
        QCOMPARE(labelColor(&preview, QStringLiteral("mobileTitleCount")), kRed);
        QVERIFY(labelText(&preview, QStringLiteral("desktopTitleCount")).endsWith(QStringLiteral(" – wird gekürzt")));
        QVERIFY(labelText(&preview, QStringLiteral("desktopTitle")).endsWith(QStringLiteral("W…")));
        QVERIFY(labelText(&preview, QStringLiteral("desktopTitle")).size() < 60);

        preview.setTitle(QString(60, QLatin1Char('I')));
        QCOMPARE(labelText(&preview, QStringLiteral("desktopTitle")), QString(60, QLatin1Char('I')));
        QVERIFY(!labelText(&preview, QStringLiteral("desktopTitleCount")).contains(QStringLiteral("gekürzt")));
        QVERIFY(labelColor(&preview, QStringLiteral("desktopTitleCount")) != kRed);
        QVERIFY(labelColor(&preview, QStringLiteral("desktopTitleCount")) != kOrange);

        // Within 5 % of the room, still whole: orange.
        QString near;
        while (snippet::width(toCp1252(near), 20) < 600 * 0.95)
            near += QLatin1Char('a');
        QVERIFY(snippet::width(toCp1252(near), 20) <= 600);
        preview.setTitle(near);
        QCOMPARE(labelText(&preview, QStringLiteral("desktopTitle")), near);
        QCOMPARE(labelColor(&preview, QStringLiteral("desktopTitleCount")), kOrange);
        QVERIFY(!labelText(&preview, QStringLiteral("desktopTitleCount")).contains(QStringLiteral("gekürzt")));
    }

    void umlautsAndTheEuroAreOneCharacterEach()
    {
        SnippetPreview preview;
        preview.setTitle(QStringLiteral("Ärger über Öl – Straße €"));
        QVERIFY2(labelText(&preview, QStringLiteral("desktopTitleCount")).endsWith(QStringLiteral(", 24 Zeichen")),
            qPrintable(labelText(&preview, QStringLiteral("desktopTitleCount"))));
        QCOMPARE(labelText(&preview, QStringLiteral("desktopTitle")), QStringLiteral("Ärger über Öl – Straße €"));
        preview.setDescription(QStringLiteral("Grüße aus Köln"));
        QVERIFY(labelText(&preview, QStringLiteral("mobileDescriptionCount")).endsWith(QStringLiteral(", 14 Zeichen")));
    }

    void theAddressIsTheSubmissionUrlAndTheHomepage()
    {
        QCOMPARE(SnippetPreview::homepageAddress(QString(), QStringLiteral("index.htm")), QStringLiteral("index.htm"));
        QCOMPARE(
            SnippetPreview::homepageAddress(QStringLiteral("https://www.sonnenblume.de/"), QStringLiteral("index.htm")),
            QStringLiteral("https://www.sonnenblume.de/index.htm"));

        {
            TitlesPage page;
            QCOMPARE(labelText(&page, QStringLiteral("desktopAddress")), QStringLiteral("index.htm"));
        }
        QVERIFY(profile::writeString(
            projectFilePath(programSettings().currentProject), "project", "submiturl", "https://www.sonnenblume.de"));
        TitlesPage page;
        QCOMPARE(
            labelText(&page, QStringLiteral("desktopAddress")), QStringLiteral("https://www.sonnenblume.de/index.htm"));
        QCOMPARE(
            labelText(&page, QStringLiteral("mobileAddress")), QStringLiteral("https://www.sonnenblume.de/index.htm"));
    }

    void theFontAsQtMeasuresItHasTheEnginesWidths()
    {
        // The font from its file, as the build read it, so this pins the
        // engine's table against Qt's own metrics.
        const int id = QFontDatabase::addApplicationFont(
            QStringLiteral("/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf"));
        QVERIFY(id >= 0);
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        QVERIFY(!families.isEmpty());
        QFont font(families.first());
        font.setKerning(false);
        font.setHintingPreference(QFont::PreferNoHinting);

        const QString texts[] = {QStringLiteral("Ferienhäuser an der Nordsee – Wattenmeer"),
                                 QStringLiteral("Straße & Söhne €"), QStringLiteral("IIIIIIII"),
                                 QStringLiteral("WWWWWWWW")};
        for (int size : {20, 14}) {
            font.setPixelSize(size);
            const QFontMetricsF metrics(font);
            const QFontMetricsF drawn(SnippetPreview::listFont(size));
            for (const QString &text : texts) {
                const double engine = snippet::width(toCp1252(text), size);
                QVERIFY2(std::abs(metrics.horizontalAdvance(text) - engine) <= 1.0,
                    qPrintable(QStringLiteral("%1 at %2 px: Qt %3, engine %4")
                                   .arg(text)
                                   .arg(size)
                                   .arg(metrics.horizontalAdvance(text))
                                   .arg(engine)));
                // What the page draws with is measured the same.
                QVERIFY2(std::abs(drawn.horizontalAdvance(text) - engine) <= 1.0,
                    qPrintable(QStringLiteral("%1 drawn at %2 px: %3")
                                   .arg(text)
                                   .arg(size)
                                   .arg(drawn.horizontalAdvance(text))));
            }
        }
    }

private:
    std::unique_ptr<GuiTestEnvironment> m_env;
};

QTEST_MAIN(SnippetPreviewTest)
#include "SnippetPreviewTest.moc"
