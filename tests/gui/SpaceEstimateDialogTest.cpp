#include "GuiTestSupport.h"

#include "optimizer/SpaceEstimate.h"
#include "optimizer/SpaceEstimateDialog.h"
#include "platform/Help.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "ui/QtText.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>

#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

struct Widgets {
    QRadioButton *least;
    QRadioButton *middle;
    QRadioButton *most;
    QLabel *label;
    QLabel *value;
    QProgressBar *bar;
};

Widgets widgetsOf(SpaceEstimateDialog &dialog)
{
    return {findChildNamed<QRadioButton>(&dialog, QStringLiteral("leastSpaceRadio")),
            findChildNamed<QRadioButton>(&dialog, QStringLiteral("middleWayRadio")),
            findChildNamed<QRadioButton>(&dialog, QStringLiteral("maximumRadio")),
            findChildNamed<QLabel>(&dialog, QStringLiteral("spaceLabel")),
            findChildNamed<QLabel>(&dialog, QStringLiteral("spaceValue")),
            findChildNamed<QProgressBar>(&dialog, QStringLiteral("spaceBar"))};
}

const QString kSizeLine = QStringLiteral("Größe aller durch Vantor!! erzeugten Dokumente beträgt etwa:");
const QString kNoCopiesNote = QStringLiteral("Hinweis: Mittlerer und Maximaler Speicherplatzbedarf sind\n"
                                             "gleich, da keine Kopien angegeben wurden!\n") +
                              kSizeLine;

} // namespace

class SpaceEstimateDialogTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        ResetProjectRecord();
        // Homepage and template of known sizes: 10000 and 4000 bytes.
        const QString site = m_env->path() + QStringLiteral("/site");
        QDir().mkpath(site + QStringLiteral("/vantor!!"));
        writeAll(site + QStringLiteral("/index.htm"), QByteArray(10000, 'x'));
        writeAll(site + QStringLiteral("/vantor!!/index.htm"), QByteArray(4000, 'y'));
        projectRecord().path.set(toCp1252(site + QStringLiteral("/index.htm")));
        projectRecord().deriveHomepageFields();
    }
    void cleanup() { m_env.reset(); }

    void emptyProjectShowsTheLowerLimitsAndTheNote()
    {
        projectRecord().scope = 2;
        SpaceEstimateDialog dialog(projectRecord());
        dialog.show();
        settle();
        const Widgets w = widgetsOf(dialog);
        QVERIFY(w.least && w.middle && w.most && w.label && w.value && w.bar);
        QCOMPARE(w.least->text(), QStringLiteral("Möglichst wenig Speicherplatz verwenden"));
        QCOMPARE(w.middle->text(), QStringLiteral("Mittelweg aus Speicherplatz und Optimierung"));
        QCOMPARE(w.most->text(), QStringLiteral("Maximale Optimierung, größter Speicherplatzbedarf"));
        QCOMPARE(findChildNamed<QLabel>(&dialog, QStringLiteral("introLabel"))->text(),
                 QStringLiteral("Sie können nun noch bestimmen, welche Prioritäten Vantor!! bei der Optimierung "
                                "verwenden soll: "));
        QCOMPARE(w.bar->minimum(), 0);
        QCOMPARE(w.bar->maximum(), 100);

        QVERIFY(w.most->isChecked());
        QCOMPARE(w.label->text(), kNoCopiesNote);
        QCOMPARE(w.value->text(), QStringLiteral("20 kB"));
        QCOMPARE(w.bar->value(), 100);

        clickIndicator(w.middle);
        QCOMPARE(projectRecord().scope, 1);
        QCOMPARE(w.value->text(), QStringLiteral("20 kB"));
        QCOMPARE(w.bar->value(), 100);

        clickIndicator(w.least);
        QCOMPARE(projectRecord().scope, 0);
        QCOMPARE(w.value->text(), QStringLiteral("10 kB"));
        QCOMPARE(w.bar->value(), 50);
        // Nothing is written until the wizard saves.
        QVERIFY(!QFile::exists(standardProjectPath()));
    }

    void eachChoiceRedrawsValueAndBarFromTheEstimate()
    {
        ProjectRecord &record = projectRecord();
        record.scope = 1;
        for (int i = 0; i < 20; ++i)
            record.homepageKeywords[static_cast<std::size_t>(i)].set("Begriff " + std::to_string(i));
        record.copyKeywords[0][0].set("Kopie eins");
        record.copyKeywords[1][0].set("Kopie zwei");
        const SpaceEstimate limited = estimateSpace(record).withLowerLimits();

        SpaceEstimateDialog dialog(record);
        dialog.show();
        settle();
        const Widgets w = widgetsOf(dialog);
        QVERIFY(w.middle->isChecked());
        QCOMPARE(w.label->text(), QStringLiteral("\n\n") + kSizeLine);

        const std::vector<std::pair<QRadioButton *, int>> choices{{w.most, 2}, {w.least, 0}, {w.middle, 1}};
        for (const auto &[radio, scope] : choices) {
            clickIndicator(radio);
            QCOMPARE(record.scope, scope);
            const SpaceDisplay expected = spaceDisplay(limited, scope);
            QCOMPARE(w.value->text(), QString::number(expected.kilobytes) + QStringLiteral(" kB"));
            QCOMPARE(w.bar->value(), expected.bar);
            QCOMPARE(w.label->text(), fromCp1252(expected.label));
            // The number is shown whole.
            QVERIFY(w.value->width() >= w.value->sizeHint().width());
        }
        // 22 terms of 4000 bytes, two copies of 10000: 2.2 * 88000 + 3.6 * 20000 bytes.
        QCOMPARE(limited.maximum, 259);
        clickIndicator(w.most);
        QCOMPARE(w.value->text(), QStringLiteral("250 kB"));
    }

    void anUnknownScopeOpensAsTheMiddleWay()
    {
        projectRecord().scope = 7;
        SpaceEstimateDialog dialog(projectRecord());
        dialog.show();
        QVERIFY(widgetsOf(dialog).middle->isChecked());
        QCOMPARE(projectRecord().scope, 1);
    }

    void buttonsEndThePageWithTheirResult_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << QStringLiteral("OK") << int(PageResult::Next);
        QTest::newRow("Zurück") << QStringLiteral("Zurück") << int(PageResult::Back);
        QTest::newRow("Abbrechen") << QStringLiteral("Abbrechen") << int(PageResult::Cancel);
        QTest::newRow("Escape") << QString() << int(PageResult::Cancel);
    }
    void buttonsEndThePageWithTheirResult()
    {
        QFETCH(QString, button);
        QFETCH(int, result);
        projectRecord().scope = 0;
        SpaceEstimateDialog dialog(projectRecord());
        dialog.show();
        clickIndicator(widgetsOf(dialog).most);
        if (button.isEmpty())
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            QTest::mouseClick(findButton(&dialog, button), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(int(dialog.pageResult()), result);
        // The choice stays whichever way the page was left.
        QCOMPARE(projectRecord().scope, 2);
        QVERIFY(m_env->hooks().shown().empty());
    }

    void headerAndHelp()
    {
        SpaceEstimateDialog dialog(projectRecord());
        dialog.show();
        QCOMPARE(dialog.windowTitle(),
                 QStringLiteral("Projekt: Standardprojekt (") + m_env->path() + QStringLiteral("/site/index.htm)"));
        QTest::mouseClick(findButton(&dialog, QStringLiteral("?")), Qt::LeftButton);
        QTest::keyClick(widgetsOf(dialog).least, Qt::Key_F1);
        QCOMPARE(m_env->helpTopics, (std::vector<int>{help::kSpaceEstimate, help::kSpaceEstimate}));
        QVERIFY(dialog.isVisible());
    }

private:
    std::unique_ptr<GuiTestEnvironment> m_env;
};

QTEST_MAIN(SpaceEstimateDialogTest)
#include "SpaceEstimateDialogTest.moc"
