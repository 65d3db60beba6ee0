#include "GuiTestSupport.h"

#include "platform/Help.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "ui/QtText.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTest>

namespace vantor::guitest {

GuiTestEnvironment::GuiTestEnvironment()
{
    qputenv("VANTOR_CONFIG_HOME", m_dir.path().toUtf8());
    qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toUtf8());
    // Qt's file dialog keeps its columns and last places in the user's
    // configuration; a test starts from Qt's defaults and leaves nothing.
    qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toUtf8());
    setSettingsStorePath(SettingsStore::defaultFilePath());

    programSettings() = ProgramSettings{};
    programSettings().programDirectory = gui::toCp1252(m_dir.path() + QStringLiteral("/program"));
    QDir().mkpath(m_dir.path() + QStringLiteral("/program/projects"));

    gui::DialogHooks &hooks = gui::DialogHooks::instance();
    hooks.reset();
    hooks.setIntercepting(true);
    hooks.addShownObserver(&saveScreenshot);

    setCurrentUi(&m_ui);
    setHelpOpener([this](int topic) {
        helpTopics.push_back(topic);
        return true;
    });
    setHelpCloser([this]() { ++helpClosed; });
    setShellOpener([this](const std::string &target) {
        opened.push_back(target);
        if (duringOpen)
            duringOpen();
        return true;
    });
}

GuiTestEnvironment::~GuiTestEnvironment()
{
    setShellOpener(nullptr);
    setHelpOpener(nullptr);
    setHelpCloser(nullptr);
    setCurrentUi(nullptr);
    gui::DialogHooks::instance().reset();
}

void saveScreenshot(QWidget *window)
{
    const QString directory = qEnvironmentVariable("VANTOR_SCREENSHOT_DIR");
    if (directory.isEmpty() || !window)
        return;
    static QHash<QString, int> counts;
    const QString name = window->objectName().isEmpty() ? QString::fromLatin1(window->metaObject()->className())
                                                        : window->objectName();
    const QString base = QCoreApplication::applicationName() + QLatin1Char('-') + name;
    const int number = ++counts[base];
    QDir().mkpath(directory);
    window->grab().save(QDir(directory).filePath(base + QLatin1Char('-') + QString::number(number) +
                                                 QStringLiteral(".png")));
}

void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void clickIndicator(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
}

QPushButton *findButton(QWidget *root, const QString &text)
{
    QPushButton *found = nullptr;
    const QList<QPushButton *> buttons = root->findChildren<QPushButton *>();
    for (QPushButton *button : buttons) {
        if (button->text() != text)
            continue;
        if (found)
            return nullptr;
        found = button;
    }
    return found;
}

void closeNextDialogs(int count, DialogWalk &walk, std::function<void(QWidget *)> handle)
{
    for (int i = 0; i < count; ++i) {
        gui::DialogHooks::instance().onNextShown([&walk, handle](QWidget *window) {
            walk.names.push_back(window->objectName());
            if (handle)
                handle(window);
            if (auto *dialog = qobject_cast<QDialog *>(window); dialog && dialog->isVisible())
                dialog->reject();
        });
    }
}

gui::ShownBox lastShown(const QString &kind)
{
    const std::vector<gui::ShownBox> &shown = gui::DialogHooks::instance().shown();
    for (auto it = shown.rbegin(); it != shown.rend(); ++it) {
        if (it->kind == kind)
            return *it;
    }
    return {};
}

QString copyExampleSite(const QString &directory)
{
    const QString source = QStringLiteral(VANTOR_EXAMPLES_DIR "/site");
    const QString target = directory + QStringLiteral("/site");
    QDirIterator it(source, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QDir().mkpath(target);
    while (it.hasNext()) {
        const QString from = it.next();
        const QString to = target + from.mid(source.size());
        if (it.fileInfo().isDir())
            QDir().mkpath(to);
        else
            QFile::copy(from, to);
    }
    const QString program = gui::fromCp1252(programSettings().programDirectory);
    QFile::copy(QStringLiteral(VANTOR_SOURCE_DATA_DIR "/back.gif"), program + QStringLiteral("/back.gif"));
    return target + QStringLiteral("/index.htm");
}

QString standardProjectPath()
{
    return gui::fromCp1252(projectFilePath(programSettings().currentProject));
}

void storeStandardProject(const QString &homepage, const std::function<void()> &fill)
{
    QFile::remove(standardProjectPath());
    QFile::copy(QStringLiteral(VANTOR_SOURCE_DATA_DIR "/projects/project.qx!"), standardProjectPath());
    QFile(standardProjectPath()).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ResetProjectRecord();
    RestoreStandardOptions();
    projectRecord().path.set(gui::toCp1252(homepage));
    projectRecord().deriveHomepageFields();
    if (fill)
        fill();
    QVERIFY(SaveProjectData(programSettings().currentProject));
    QVERIFY(SaveProjectOptions(programSettings().currentProject));
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeAll(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

} // namespace vantor::guitest
