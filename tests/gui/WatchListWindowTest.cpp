#include "GuiTestSupport.h"

#include "platform/Help.h"
#include "platform/Profile.h"
#include "platform/SettingsStore.h"
#include "project/InfoDialog.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectManager.h"
#include "research/WatchListWindow.h"
#include "ui/QtText.h"
#include "wizard/KeywordGridPage.h"
#include "wizard/LimitedTextEdit.h"
#include "wizard/TitlesPage.h"
#include "wizard/WizardPageDialog.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>

#include <map>
#include <memory>

using namespace vantor;
using namespace vantor::gui;
using namespace vantor::guitest;

namespace {

using Sections = std::map<std::string, std::vector<std::string>>;

QString projectPath(const std::string &name)
{
    return fromCp1252(projectFilePath(name));
}

// A project file from the shipped template with these watch-list sections,
// each closed by an empty key as the program writes them.
void writeProject(const std::string &name, const Sections &sections)
{
    QFile::remove(projectPath(name));
    QVERIFY(QFile::copy(QStringLiteral(VANTOR_SOURCE_DATA_DIR "/projects/project.qx!"), projectPath(name)));
    QFile(projectPath(name)).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const std::string file = projectFilePath(name);
    for (const auto &[section, values] : sections) {
        int key = 1;
        for (const std::string &value : values)
            QVERIFY(profile::writeString(file, section, std::to_string(key++), value));
        QVERIFY(profile::writeString(file, section, std::to_string(key), ""));
    }
    if (name != "default")
        QVERIFY(settingsStore().createSubkey(name));
}

// The section as the program reads it back: keys 1, 2, ... up to the first
// empty one.
std::vector<std::string> storedSection(const std::string &name, const std::string &section)
{
    std::vector<std::string> values;
    for (int key = 1;; ++key) {
        const std::string value = profile::readString(projectFilePath(name), section, std::to_string(key), "", 149);
        if (value.empty())
            return values;
        values.push_back(value);
    }
}

QStringList rowTexts()
{
    QStringList texts;
    QTreeWidget *list = watchListWindow()->list();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(0);
    return texts;
}

std::vector<int> rowKinds()
{
    std::vector<int> kinds;
    QTreeWidget *list = watchListWindow()->list();
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        kinds.push_back(list->topLevelItem(i)->data(0, Qt::UserRole).toInt());
    return kinds;
}

void selectRows(const QStringList &texts)
{
    QTreeWidget *list = watchListWindow()->list();
    list->clearSelection();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (texts.contains(list->topLevelItem(i)->text(0)))
            list->topLevelItem(i)->setSelected(true);
    }
}

void click(const QString &text)
{
    QPushButton *button = findButton(watchListWindow(), text);
    QVERIFY2(button, qPrintable(text));
    QTest::mouseClick(button, Qt::LeftButton);
}

// A click as the window system delivers it, so a window that a modal dialog
// blocks never gets it.
void clickThroughTheWindow(QWidget *button)
{
    QWidget *window = button->window();
    QTest::mouseClick(
        window->windowHandle(), Qt::LeftButton, Qt::NoModifier, button->mapTo(window, button->rect().center()));
}

QTreeWidgetItem *rowWithText(const QString &text)
{
    QTreeWidget *list = watchListWindow()->list();
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->text(0) == text)
            return list->topLevelItem(i);
    }
    return nullptr;
}

// A double-click on the row as the mouse makes it.
void doubleClickRow(const QString &text)
{
    QTreeWidgetItem *row = rowWithText(text);
    QVERIFY2(row, qPrintable(text));
    QTreeWidget *list = watchListWindow()->list();
    list->scrollToItem(row);
    QWidget *viewport = list->viewport();
    // On the text, inside the narrow window: the row runs on beyond it.
    const QRect rect = list->visualItemRect(row);
    const QPoint at(rect.left() + 30, rect.center().y());
    // Press, release, the second press as a double-click, release: the
    // order the window system sends them in.
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, at);
    const QPointF global = viewport->mapToGlobal(QPointF(at));
    QMouseEvent second(
        QEvent::MouseButtonDblClick, QPointF(at), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &second);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, at);
}

// What a drag of these rows carries.
std::unique_ptr<QMimeData> dragOf(const QStringList &texts)
{
    QTreeWidget *list = watchListWindow()->list();
    QModelIndexList rows;
    for (const QString &text : texts) {
        QTreeWidgetItem *row = rowWithText(text);
        if (row)
            rows << list->model()->index(list->indexOfTopLevelItem(row), 0);
    }
    return std::unique_ptr<QMimeData>(list->model()->mimeData(rows));
}

// Drags the data onto the widget and lets go; true when the drop was taken.
bool dropOnto(QWidget *target, const QMimeData *data)
{
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// A wizard page as the wizard shows it: modal, in front, with the list
// opened from its "Merkliste" button after a click into `field`.
void openFromPage(QDialog &page, QWidget *field)
{
    page.setWindowModality(Qt::ApplicationModal);
    page.show();
    page.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&page));
    QTest::mouseClick(field, Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), field);
    QTest::mouseClick(findButton(&page, QStringLiteral("Merkliste")), Qt::LeftButton);
    QVERIFY(watchListWindow() && watchListWindow()->isVisible());
    settle();
}

const Sections kGarden { { "researchs", { "hotel italien", "hotel rom" } }, { "researchv", { "unterkunft" } },
    { "research", { "merken" } } };

} // namespace

class WatchListWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<GuiTestEnvironment>();
        qputenv("VANTOR_NO_ANIMATION", "1");
        writeProject("default", kGarden);
        programSettings().currentProject = "default";
    }
    void cleanup()
    {
        destroyWatchList();
        WizardPageDialog::setAnalysisTimerEnabled(true);
        projects::setProjectLoadedHandler(nullptr);
        qunsetenv("VANTOR_NO_ANIMATION");
        m_env.reset();
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void showsTheEntriesOfTheCurrentProject()
    {
        openWatchList(false);
        WatchListWindow *window = watchListWindow();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Merkliste Recherche"));
        QCOMPARE(window->size(), QSize(150, 460));
        QCOMPARE(window->projectText(), QStringLiteral("Projekt 'Standardprojekt'"));
        // Every entry went to the top as it was read: the last section and
        // the last key first.
        QCOMPARE(rowTexts(),
            (QStringList { QStringLiteral("hotel rom"), QStringLiteral("hotel italien"), QStringLiteral("unterkunft"),
                QStringLiteral("merken") }));
        QCOMPARE(rowKinds(), (std::vector<int> { 1, 1, 2, 0 }));

        QTreeWidget *list = window->list();
        QVERIFY(list->isHeaderHidden());
        QCOMPARE(list->columnCount(), 1);
        QCOMPARE(list->columnWidth(0), 400);
        QCOMPARE(list->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(list->palette().color(QPalette::Base), QColor(255, 255, 250));
        QCOMPARE(list->iconSize().width(), 12);
        QImage images[3];
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem *row = list->topLevelItem(i);
            QCOMPARE(row->foreground(0).color(), QColor(0, 30, 150));
            QVERIFY(!row->icon(0).isNull());
            images[row->data(0, Qt::UserRole).toInt()] = row->icon(0).pixmap(12, 12).toImage();
        }
        // Three kinds, three pictures, none of them blank.
        QVERIFY(images[0] != images[1] && images[1] != images[2] && images[0] != images[2]);
        for (const QImage &image : images)
            QVERIFY(image.pixelColor(6, 6).alpha() > 0 || image.pixelColor(3, 3).alpha() > 0);
        for (const QString &text : { QStringLiteral("a - z"), QStringLiteral("z - a"), QStringLiteral("s / v"),
                 QStringLiteral("Löschen"), QStringLiteral("?"), QStringLiteral("Schliessen") })
            QVERIFY2(findButton(window, text), qPrintable(text));
        settle();
        saveScreenshot(window);

        // The label says "Standardprojekt" only for a part of "default".
        programSettings().currentProject = "Stauden";
        loadWatchList();
        QCOMPARE(window->projectText(), QStringLiteral("Projekt 'Stauden'"));
        programSettings().currentProject = "fault";
        loadWatchList();
        QCOMPARE(window->projectText(), QStringLiteral("Projekt 'Standardprojekt'"));
        programSettings().currentProject = "defaults";
        loadWatchList();
        QCOMPARE(window->projectText(), QStringLiteral("Projekt 'defaults'"));
    }

    void addingKeepsEveryTextOnce()
    {
        openWatchList(false);
        QVERIFY(!addToWatchList("hotel rom", 2));
        QVERIFY(!addToWatchList("merken", 1));
        QCOMPARE(rowTexts().size(), 4);
        QVERIFY(addToWatchList("Hotel Rom", 2));
        QVERIFY(addToWatchList(toCp1252(QStringLiteral("Ferienwohnung Gardasee")), 1));
        QCOMPARE(rowTexts().mid(0, 2),
            (QStringList { QStringLiteral("Ferienwohnung Gardasee"), QStringLiteral("Hotel Rom") }));
        QCOMPARE(rowKinds().front(), 1);
        // Saving is the caller's task; until then the file is as it was.
        QCOMPARE(storedSection("default", "researchv"), (std::vector<std::string> { "unterkunft" }));
        QVERIFY(saveWatchList());
        QCOMPARE(storedSection("default", "researchs"),
            (std::vector<std::string> { "Ferienwohnung Gardasee", "hotel rom", "hotel italien" }));
        QCOMPARE(storedSection("default", "researchv"), (std::vector<std::string> { "Hotel Rom", "unterkunft" }));
    }

    void aListNeverOpenedIsNotWrittenEmpty()
    {
        QVERIFY(saveWatchList());
        QCOMPARE(storedSection("default", "researchs"), (std::vector<std::string> { "hotel italien", "hotel rom" }));
        // Adding before the first opening keeps what the file holds.
        QVERIFY(addToWatchList("pension", 1));
        QVERIFY(saveWatchList());
        QCOMPARE(storedSection("default", "researchs"),
            (std::vector<std::string> { "pension", "hotel rom", "hotel italien" }));
        QVERIFY(!watchListWindow()->isVisible());
    }

    void anEmptyListShowsItsNoticeAndStaysEmpty()
    {
        writeProject("default", {});
        QStringList inserted;
        openWatchList(false);
        WatchListWindow *window = watchListWindow();
        QCOMPARE(window->list()->topLevelItemCount(), 0);
        // Sorting reloads the list, and with it comes the notice again.
        connect(window->list()->model(), &QAbstractItemModel::rowsInserted, this,
            [&](const QModelIndex &, int first, int) { inserted << window->list()->topLevelItem(first)->text(0); });
        click(QStringLiteral("a - z"));
        QCOMPARE(inserted.size(), 14);
        QCOMPARE(inserted.front(), QStringLiteral("  -- Keine Einträge --"));
        for (int i = 1; i < inserted.size(); ++i)
            QCOMPARE(inserted[i], QStringLiteral(" "));
        QCOMPARE(window->list()->topLevelItemCount(), 0);
        QVERIFY(window->model().empty());

        // Hidden, the list loads without it.
        inserted.clear();
        hideWatchList();
        loadWatchList();
        QVERIFY(inserted.isEmpty());
    }

    void deletingSavesAtOnce()
    {
        openWatchList(false);
        const QByteArray before = readAll(projectPath("default"));
        watchListWindow()->list()->clearSelection();
        click(QStringLiteral("Löschen"));
        QCOMPARE(readAll(projectPath("default")), before);
        QCOMPARE(rowTexts().size(), 4);

        selectRows({ QStringLiteral("hotel rom"), QStringLiteral("unterkunft") });
        click(QStringLiteral("Löschen"));
        QCOMPARE(rowTexts(), (QStringList { QStringLiteral("hotel italien"), QStringLiteral("merken") }));
        QCOMPARE(storedSection("default", "researchs"), (std::vector<std::string> { "hotel italien" }));
        QCOMPARE(storedSection("default", "researchv"), std::vector<std::string> {});
        QCOMPARE(storedSection("default", "research"), (std::vector<std::string> { "merken" }));
        QCOMPARE(m_env->hooks().countKind(QStringLiteral("message")), 0);

        selectRows({ QStringLiteral("hotel italien"), QStringLiteral("merken") });
        click(QStringLiteral("Löschen"));
        QVERIFY(rowTexts().isEmpty());
        for (const char *section : { "researchs", "researchv", "research" }) {
            ProfileFile file;
            QVERIFY(file.load(projectFilePath("default")));
            QCOMPARE(file.value(section, "1"), std::optional<std::string>(""));
        }
    }

    void aFailedSaveIsReported()
    {
        openWatchList(false);
        // A directory in the file's place: the write cannot succeed.
        QVERIFY(QFile::remove(projectPath("default")));
        QVERIFY(QDir().mkpath(projectPath("default")));
        selectRows({ QStringLiteral("merken") });
        click(QStringLiteral("Löschen"));
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Fehler beim Schreiben der Daten"));
    }

    void sortingReloadsAndNewTermsTakeTheirPlace()
    {
        writeProject("default", { { "researchs", { "Birne", "apfel" } }, { "researchv", { "Zitrone", "kiwi" } } });
        openWatchList(false);
        const QStringList loaded { QStringLiteral("apfel"), QStringLiteral("Birne"), QStringLiteral("kiwi"),
            QStringLiteral("Zitrone") };
        QCOMPARE(rowTexts(), loaded);

        click(QStringLiteral("z - a"));
        QCOMPARE(rowTexts(),
            (QStringList {
                QStringLiteral("Zitrone"), QStringLiteral("kiwi"), QStringLiteral("Birne"), QStringLiteral("apfel") }));
        QVERIFY(addToWatchList("Mango", 1));
        QVERIFY(addToWatchList("aal", 2));
        QCOMPARE(rowTexts(),
            (QStringList { QStringLiteral("Zitrone"), QStringLiteral("Mango"), QStringLiteral("kiwi"),
                QStringLiteral("Birne"), QStringLiteral("apfel"), QStringLiteral("aal") }));
        QVERIFY(saveWatchList());

        click(QStringLiteral("a - z"));
        QCOMPARE(rowTexts(),
            (QStringList { QStringLiteral("aal"), QStringLiteral("apfel"), QStringLiteral("Birne"),
                QStringLiteral("kiwi"), QStringLiteral("Mango"), QStringLiteral("Zitrone") }));
        click(QStringLiteral("s / v"));
        // Unsorted again: the order of loading, grouped by kind.
        QCOMPARE(rowKinds(), (std::vector<int> { 1, 1, 1, 2, 2, 2 }));
    }

    void followsEveryLoadedProject()
    {
        installWatchList();
        writeProject("alpha", { { "researchs", { "alpha eins" } } });
        writeProject("beta", { { "researchv", { "beta zwei", "beta drei" } } });

        // Never opened: filled in the background, not shown.
        QVERIFY(projects::open("alpha", "Standardprojekt", m_env->ui(), {}));
        QVERIFY(watchListWindow());
        QVERIFY(!watchListWindow()->isVisible());
        QCOMPARE(rowTexts(), QStringList { QStringLiteral("alpha eins") });
        QCOMPARE(lastShown(QStringLiteral("wait")).text,
            QStringLiteral("Bitte warten...\nDie Merkliste wird aktualisiert."));

        // On screen: refreshed in place, only the new project's entries.
        openWatchList(false);
        QVERIFY(projects::open("beta", "alpha", m_env->ui(), {}));
        QVERIFY(watchListWindow()->isVisible());
        QCOMPARE(watchListWindow()->projectText(), QStringLiteral("Projekt 'beta'"));
        QCOMPARE(rowTexts(), (QStringList { QStringLiteral("beta drei"), QStringLiteral("beta zwei") }));

        // Hidden by the user: stays hidden, and shows the new list when opened.
        click(QStringLiteral("Schliessen"));
        QVERIFY(projects::open("Standardprojekt", "beta", m_env->ui(), {}));
        QVERIFY(!watchListWindow()->isVisible());
        openWatchList(false);
        QVERIFY(watchListWindow()->isVisible());
        QCOMPARE(watchListWindow()->projectText(), QStringLiteral("Projekt 'Standardprojekt'"));
        QCOMPARE(rowTexts().size(), 4);
        QCOMPARE(rowTexts().front(), QStringLiteral("hotel rom"));
    }

    void closingOnlyHides()
    {
        openWatchList(false);
        WatchListWindow *window = watchListWindow();
        click(QStringLiteral("?"));
        QTest::keyClick(window->list(), Qt::Key_F1);
        QCOMPARE(m_env->helpTopics, (std::vector<int> { help::kWatchList, help::kWatchList }));

        click(QStringLiteral("Schliessen"));
        QVERIFY(!window->isVisible());
        QCOMPARE(watchListWindow(), window);
        openWatchList(false);
        QVERIFY(window->isVisible());
        QCOMPARE(window->size(), QSize(150, 460));
        window->close();
        QVERIFY(!window->isVisible());
        QCOMPARE(watchListWindow(), window);
        openWatchList(false);
        QTest::keyClick(window->list(), Qt::Key_Escape);
        QVERIFY(!window->isVisible());
        QCOMPARE(rowTexts().size(), 4);
    }

    void takesClicksBesideAModalDialog()
    {
        m_env->hooks().setIntercepting(false);
        openWatchList(false);
        bool ownedByDialog = false;
        QStringList afterSort;
        QStringList afterDelete;
        // Whatever happens inside, the dialog closes: a test must not hang.
        m_env->hooks().onNextShown([&](QWidget *dialog) {
            settle();
            ownedByDialog = QApplication::activeModalWidget() == dialog
                && watchListWindow()->windowHandle()->transientParent() == dialog->windowHandle();
            clickThroughTheWindow(findButton(watchListWindow(), QStringLiteral("a - z")));
            afterSort = rowTexts();
            selectRows({ QStringLiteral("merken") });
            clickThroughTheWindow(findButton(watchListWindow(), QStringLiteral("Löschen")));
            afterDelete = rowTexts();
            static_cast<QDialog *>(dialog)->reject();
        });
        InfoDialog dialog;
        dialog.exec();
        QCOMPARE(afterSort,
            (QStringList { QStringLiteral("hotel italien"), QStringLiteral("hotel rom"), QStringLiteral("merken"),
                QStringLiteral("unterkunft") }));
        QCOMPARE(afterDelete,
            (QStringList {
                QStringLiteral("hotel italien"), QStringLiteral("hotel rom"), QStringLiteral("unterkunft") }));
        QVERIFY(ownedByDialog);
        settle();
        // With the dialog gone, the window belongs to nobody again.
        QCOMPARE(watchListWindow()->windowHandle()->transientParent(), nullptr);
    }

    void unfoldsStepByStep()
    {
        m_env->hooks().setIntercepting(false);
        qunsetenv("VANTOR_NO_ANIMATION");
        QVERIFY(WatchListWindow::animated());
        std::vector<QSize> sizes;
        struct Recorder : QObject {
            std::vector<QSize> *sizes;
            bool eventFilter(QObject *watched, QEvent *event) override
            {
                if (event->type() == QEvent::Resize && watched->objectName() == QStringLiteral("watchListWindow"))
                    sizes->push_back(static_cast<QWidget *>(watched)->size());
                return false;
            }
        } recorder;
        recorder.sizes = &sizes;
        qApp->installEventFilter(&recorder);
        openWatchList(false);
        qApp->removeEventFilter(&recorder);
        QVERIFY2(sizes.size() > 20, qPrintable(QString::number(sizes.size())));
        QVERIFY(sizes.front().width() < 40 && sizes.front().height() < 40);
        QCOMPARE(sizes.back(), QSize(150, 460));
        for (std::size_t i = 0; i + 1 < sizes.size(); ++i)
            QVERIFY(sizes[i].height() <= sizes[i + 1].height());

        // Hidden and shown again, it unfolds downwards at its full width.
        hideWatchList();
        sizes.clear();
        qApp->installEventFilter(&recorder);
        openWatchList(false);
        qApp->removeEventFilter(&recorder);
        QVERIFY(sizes.size() > 10);
        for (const QSize &size : sizes)
            QCOMPARE(size.width(), 150);
        QCOMPARE(sizes.back(), QSize(150, 460));
    }

    void theSizeTheUserGivesItIsKept()
    {
        openWatchList(false);
        WatchListWindow *window = watchListWindow();
        QVERIFY(window->minimumWidth() < 300 && window->maximumWidth() > 300);
        QVERIFY(window->minimumHeight() < 600 && window->maximumHeight() > 600);
        QVERIFY(!settingsStore().hasValue("watchlistwidth"));
        window->resize(290, 520);
        settle();
        hideWatchList();
        QCOMPARE(settingsStore().readNumber("watchlistwidth"), std::optional<std::uint32_t>(290));
        QCOMPARE(settingsStore().readNumber("watchlistheight"), std::optional<std::uint32_t>(520));

        // Shown again, and in the next run, it comes back at that size.
        openWatchList(false);
        QCOMPARE(window->size(), QSize(290, 520));
        destroyWatchList();
        openWatchList(false);
        QCOMPARE(watchListWindow()->size(), QSize(290, 520));
        QVERIFY(watchListWindow()->list()->viewport()->width() > 200);

        // A size no screen has does not keep the window off it.
        destroyWatchList();
        QVERIFY(settingsStore().writeNumber("watchlistwidth", 90000));
        QVERIFY(settingsStore().writeNumber("watchlistheight", 4));
        openWatchList(false);
        const QRect area = watchListWindow()->screen()->availableGeometry();
        QVERIFY(watchListWindow()->width() <= area.width());
        QVERIFY(watchListWindow()->height() >= 200);
    }

    void rowsAndProjectShowTheirWholeText()
    {
        const std::string longest(149, 'x');
        const std::string name = "Ferienwohnungen-am-Gardasee-und-am-Lago-Maggiore";
        writeProject(name, { { "researchs", { "hotel rom", longest } } });
        programSettings().currentProject = name;
        openWatchList(false);
        WatchListWindow *window = watchListWindow();
        QTreeWidget *list = window->list();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            QCOMPARE(list->topLevelItem(i)->toolTip(0), list->topLevelItem(i)->text(0));
        // Wider than the column of old: the list scrolls to its end.
        QVERIFY(list->columnWidth(0) >= list->fontMetrics().horizontalAdvance(QString::fromStdString(longest)));

        auto *label = window->findChild<QLabel *>(QStringLiteral("projectLabel"));
        QVERIFY(label);
        QCOMPARE(label->toolTip(), QStringLiteral("Projekt '") + QString::fromStdString(name) + QLatin1Char('\''));
        settle();
        QVERIFY(label->wordWrap());
        QVERIFY2(label->height() >= label->heightForWidth(label->width()),
            qPrintable(QStringLiteral("%1 < %2").arg(label->height()).arg(label->heightForWidth(label->width()))));

        // "Projekt 'Übersicht'": the dots of the capital stay on screen.
        writeProject("\xDC" "bersicht", { { "researchs", { "hotel rom" } } });
        programSettings().currentProject = "\xDC" "bersicht";
        window->load();
        settle();
        QVERIFY(label->text().contains(QStringLiteral("Übersicht")));
        QVERIFY(umlautDotsShow(label));
    }

    void entriesTypedInAreKeptAndSaved()
    {
        openWatchList(false);
        WatchListWindow *window = watchListWindow();
        auto *edit = window->findChild<QLineEdit *>(QStringLiteral("newEntryEdit"));
        QVERIFY(edit);
        QPushButton *add = findButton(window, QStringLiteral("Hinzufügen"));
        QVERIFY(add);
        QCOMPARE(edit->maxLength(), 149);

        edit->setText(QStringLiteral("  Ferienhaus am Müritzsee "));
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(rowTexts().front(), QStringLiteral("Ferienhaus am Müritzsee"));
        QCOMPARE(rowKinds().front(), 0);
        QVERIFY(edit->text().isEmpty());
        // Saved at once, in the section of the terms kept by hand.
        QCOMPARE(storedSection("default", "research"),
            (std::vector<std::string> { toCp1252(QStringLiteral("Ferienhaus am Müritzsee")), "merken" }));

        // Return in the field does the same.
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("pension"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(rowTexts().front(), QStringLiteral("pension"));
        QCOMPARE(storedSection("default", "research").front(), std::string("pension"));

        // Nothing twice, nothing empty, nothing the project file cannot hold.
        const QByteArray before = readAll(projectPath("default"));
        edit->setText(QStringLiteral("hotel rom"));
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Eintrag bereits vorhanden"));
        QCOMPARE(edit->text(), QStringLiteral("hotel rom"));
        QCOMPARE(window->list()->currentItem()->text(0), QStringLiteral("hotel rom"));
        edit->setText(QStringLiteral("   "));
        QTest::mouseClick(add, Qt::LeftButton);
        edit->setText(QStringLiteral("Hotel \u2603"));
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(lastShown(QStringLiteral("message")).title, QStringLiteral("Eintrag nicht speicherbar"));
        QCOMPARE(rowTexts().size(), 6);
        QCOMPARE(readAll(projectPath("default")), before);

        // With a sorting on, a new entry takes its sorted place.
        click(QStringLiteral("a - z"));
        edit->setText(QStringLiteral("kurhaus"));
        QTest::mouseClick(add, Qt::LeftButton);
        QCOMPARE(rowTexts().indexOf(QStringLiteral("kurhaus")), rowTexts().indexOf(QStringLiteral("hotel rom")) + 1);
    }

    void aDoubleClickPutsTheTermIntoTheFieldLastUsed()
    {
        WizardPageDialog::setAnalysisTimerEnabled(false);
        ResetProjectRecord();
        RestoreStandardOptions();
        TitlesPage page;
        auto *title = page.findChild<QLineEdit *>(QStringLiteral("title2Edit"));
        auto *author = page.findChild<QLineEdit *>(QStringLiteral("authorEdit"));
        auto *description = page.findChild<LimitedTextEdit *>(QStringLiteral("descriptionEdit"));
        QVERIFY(title && author && description);
        // The click on "Merkliste" took the focus from the field.
        openFromPage(page, title);
        QVERIFY(QApplication::focusWidget() != title);

        doubleClickRow(QStringLiteral("hotel rom"));
        QCOMPARE(title->text(), QStringLiteral("hotel rom"));
        // A field with text gets the term after a blank.
        doubleClickRow(QStringLiteral("unterkunft"));
        QCOMPARE(title->text(), QStringLiteral("hotel rom unterkunft"));
        // Back in the page, the cursor stands in the field.
        QCOMPARE(page.focusWidget(), title);

        // A field that lists with commas gets a comma.
        author->setText(QStringLiteral("Rom, Neapel,"));
        QTest::mouseClick(author, Qt::LeftButton);
        doubleClickRow(QStringLiteral("merken"));
        QCOMPARE(author->text(), QStringLiteral("Rom, Neapel, merken"));

        // The field of several lines; a term that does not fit whole stays out.
        QTest::mouseClick(description->viewport(), Qt::LeftButton);
        doubleClickRow(QStringLiteral("hotel italien"));
        QCOMPARE(description->toPlainText(), QStringLiteral("hotel italien"));
        description->setPlainText(QString(description->maxLength() - 5, QLatin1Char('d')));
        doubleClickRow(QStringLiteral("hotel rom"));
        QCOMPARE(description->toPlainText(), QString(description->maxLength() - 5, QLatin1Char('d')));

        // A disabled field takes nothing.
        QTest::mouseClick(title, Qt::LeftButton);
        title->setEnabled(false);
        doubleClickRow(QStringLiteral("merken"));
        QCOMPARE(title->text(), QStringLiteral("hotel rom unterkunft"));
        page.reject();
        settle();

        // Without a page behind the list, a double-click changes nothing.
        const QByteArray before = readAll(projectPath("default"));
        doubleClickRow(QStringLiteral("merken"));
        QCOMPARE(rowTexts().size(), 4);
        QCOMPARE(readAll(projectPath("default")), before);
    }

    void placeholdersAndMarkersMakeWayForTheTerm()
    {
        WizardPageDialog::setAnalysisTimerEnabled(false);
        ResetProjectRecord();
        RestoreStandardOptions();
        KeywordGridPage page;
        QCOMPARE(page.field(0)->text(), QStringLiteral("Suchbegriff1"));
        openFromPage(page, page.field(0));
        doubleClickRow(QStringLiteral("hotel rom"));
        QCOMPARE(page.field(0)->text(), QStringLiteral("hotel rom"));

        page.field(5)->setText(QStringLiteral("---- leeres feld ----"));
        QTest::mouseClick(page.field(5), Qt::LeftButton);
        doubleClickRow(QStringLiteral("unterkunft"));
        QCOMPARE(page.field(5)->text(), QStringLiteral("unterkunft"));
        page.reject();
    }

    void termsDraggedOntoAFieldGoIntoIt()
    {
        WizardPageDialog::setAnalysisTimerEnabled(false);
        ResetProjectRecord();
        RestoreStandardOptions();
        TitlesPage page;
        auto *title = page.findChild<QLineEdit *>(QStringLiteral("title1Edit"));
        auto *author = page.findChild<QLineEdit *>(QStringLiteral("authorEdit"));
        auto *description = page.findChild<LimitedTextEdit *>(QStringLiteral("descriptionEdit"));
        openFromPage(page, author);

        std::unique_ptr<QMimeData> one = dragOf({ QStringLiteral("hotel rom") });
        QVERIFY(one);
        QCOMPARE(one->text(), QStringLiteral("hotel rom"));
        title->setText(QStringLiteral("Ferien in Italien"));
        QVERIFY(dropOnto(title, one.get()));
        QCOMPARE(title->text(), QStringLiteral("Ferien in Italien hotel rom"));
        QCOMPARE(page.focusWidget(), title);

        // Several rows at once, in the order of the list.
        std::unique_ptr<QMimeData> two = dragOf({ QStringLiteral("merken"), QStringLiteral("hotel italien") });
        QVERIFY(dropOnto(description->viewport(), two.get()));
        QCOMPARE(description->toPlainText(), QStringLiteral("hotel italien merken"));

        // Where the terms would not fit, the field refuses them.
        title->setText(QString(title->maxLength() - 3, QLatin1Char('t')));
        QVERIFY(!dropOnto(title, one.get()));
        QCOMPARE(title->text().size(), title->maxLength() - 3);
        page.reject();
    }

private:
    std::unique_ptr<GuiTestEnvironment> m_env;
};

QTEST_MAIN(WatchListWindowTest)
#include "WatchListWindowTest.moc"
