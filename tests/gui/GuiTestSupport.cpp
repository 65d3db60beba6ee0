#include "GuiTestSupport.h"

#include "platform/Help.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "ui/DocumentViewer.h"
#include "ui/QtText.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <vector>

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
    // As in the program: what no browser shows, the program shows itself.
    gui::installDocumentViewer();
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
    setOpenFallback(nullptr);
    if (gui::documentViewer())
        delete gui::documentViewer();
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

QByteArray stripedGif()
{
    QByteArray gif("GIF89a");
    auto word = [&gif](int value) {
        gif.append(static_cast<char>(value & 0xFF));
        gif.append(static_cast<char>(value >> 8));
    };
    word(8);
    word(4);
    gif.append(static_cast<char>(0x81)); // a global palette of four colours
    gif.append('\0');
    gif.append('\0');
    gif.append("\xFF\x8C\x08\xFF\xC6\xA5\xFF\xFF\xFF\x00\x00\x00", 12);
    gif.append(static_cast<char>(0x2C));
    word(0);
    word(0);
    word(8);
    word(4);
    gif.append('\0');
    gif.append(static_cast<char>(2)); // LZW minimum code size
    // Three-bit codes with a clear code before every pixel, so the code
    // table never grows and the codes can be written as they are.
    std::vector<unsigned> codes;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            codes.push_back(4);
            codes.push_back(x < 4 ? 0 : 1);
        }
    }
    codes.push_back(5);
    QByteArray data;
    unsigned bits = 0;
    int count = 0;
    for (unsigned code : codes) {
        bits |= code << count;
        count += 3;
        while (count >= 8) {
            data.append(static_cast<char>(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0)
        data.append(static_cast<char>(bits & 0xFF));
    gif.append(static_cast<char>(data.size()));
    gif.append(data);
    gif.append('\0');
    gif.append(';');
    return gif;
}

void installStockTemplates()
{
    const QString templates = gui::fromCp1252(programSettings().programDirectory) + QStringLiteral("/templates");
    QDir().mkpath(templates);
    writeAll(templates + QStringLiteral("/template1.htm"),
             "<html>\r\n<head>\r\n<title>%Suchbegriff%</title>\r\n</head>\r\n"
             "<body background=\"back1.gif\" text=\"#000000\" link=\"#FF8C08\">\r\n"
             "<table><tr><td bgcolor=\"#FF8C08\"><font color=\"#FFC6A5\">%Suchbegriff%</font></td></tr>\r\n"
             "<tr><td bgcolor=\"#FFC6A5\"><font color=\"#000000\">%Suchbegriff%</font> "
             "<a href=\"../\">Homepage</a></td></tr></table>\r\n</body>\r\n</html>\r\n");
    const QByteArray gif = stripedGif();
    for (int n = 1; n <= 18; ++n)
        writeAll(templates + QStringLiteral("/back_%1.gif").arg(n), gif);
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

namespace {

QString withoutUmlautDots(QString text)
{
    return text.replace(QChar(0xC4), QLatin1Char('A')).replace(QChar(0xD6), QLatin1Char('O')).replace(QChar(0xDC), QLatin1Char('U'));
}

// How many pixels of `area` change when `setText` takes the dots away.
int dotPixels(QWidget *widget, const QRect &area, const QString &text, const std::function<void(const QString &)> &setText)
{
    setText(text);
    const QImage with = widget->grab(area).toImage();
    setText(withoutUmlautDots(text));
    const QImage without = widget->grab(area).toImage();
    setText(text);
    int changed = 0;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            changed += with.pixel(x, y) != without.pixel(x, y) ? 1 : 0;
    return changed;
}

} // namespace

bool umlautDotsShow(QLabel *label)
{
    const QString text = label->text();
    const int shown = dotPixels(label, label->rect(), text, [label](const QString &t) { label->setText(t); });

    QLabel roomy;
    roomy.setFont(label->font());
    roomy.setPalette(label->palette());
    roomy.setTextFormat(label->textFormat());
    roomy.setWordWrap(label->wordWrap());
    roomy.setAlignment(label->alignment());
    roomy.setTextInteractionFlags(label->textInteractionFlags());
    const QMargins margins = label->contentsMargins();
    roomy.setContentsMargins(margins.left(), margins.top() + 20, margins.right(), margins.bottom() + 20);
    roomy.setText(text);
    roomy.resize(label->width(), label->height() + 40);
    const int full = dotPixels(&roomy, roomy.rect(), text, [&roomy](const QString &t) { roomy.setText(t); });
    if (shown != full)
        qWarning("%s: %d of %d pixels of the umlaut dots show", qPrintable(text), shown, full);
    return full > 0 && shown == full;
}

bool umlautDotsShow(QListWidget *list, int row)
{
    QListWidgetItem *item = list->item(row);
    const QString text = item->text();
    const auto setItemText = [](QListWidgetItem *each) {
        return [each](const QString &t) {
            each->setText(t);
            settle();
        };
    };
    const int shown = dotPixels(list->viewport(), list->visualItemRect(item), text, setItemText(item));

    QListWidget roomy;
    roomy.setFont(list->font());
    roomy.setPalette(list->palette());
    roomy.resize(list->size());
    auto *tall = new QListWidgetItem(text, &roomy);
    tall->setSizeHint(QSize(list->visualItemRect(item).width(), 3 * list->visualItemRect(item).height() + 20));
    roomy.show();
    settle();
    const int full = dotPixels(roomy.viewport(), roomy.visualItemRect(tall), text, setItemText(tall));
    if (shown != full)
        qWarning("%s: %d of %d pixels of the umlaut dots show", qPrintable(text), shown, full);
    return full > 0 && shown == full;
}

} // namespace vantor::guitest
