#include "research/WatchListWindow.h"

#include "platform/Help.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "project/ProjectFile.h"
#include "project/ProjectManager.h"
#include "research/WatchListTarget.h"
#include "research/WatchListView.h"
#include "ui/DialogHooks.h"
#include "ui/QtText.h"
#include "ui/SkinnedDialog.h"
#include "ui/Ui.h"
#include "ui/UmlautRoom.h"
#include "ui/WindowStack.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace vantor::gui {

namespace {

// The unfolding runs while the height is below this, then the window takes
// its full size.
constexpr int kUnfoldLimit = 447;
constexpr int kUnfoldStart = 27;
constexpr int kStepMilliseconds = 5;
constexpr int kNoticeStepMilliseconds = 30;
constexpr int kNoticeShownMilliseconds = 700;
constexpr int kNoticeBlankRows = 13;
// How long the edge must rest before a new size is written down.
constexpr int kRememberMilliseconds = 600;
// What a window manager adds around a window, before the real frame is known.
constexpr int kFrameSide = 6;

const char *const kEmptyNotice = "  -- Keine Einträge --";

struct WatchListState {
    QPointer<WatchListWindow> window;
    bool isOpen = false; // created and loaded
    bool isHidden = false; // by "Schliessen" or a project load
};

WatchListState &state()
{
    static WatchListState s;
    return s;
}

QPushButton *windowButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    // The window is 150 pixels wide; the buttons share that, whatever the
    // style thinks a push button needs.
    button->setMinimumWidth(0);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    return button;
}

// A break chance after every character, so a long project name wraps
// inside the narrow window instead of being cut off.
QString breakable(const QString &text)
{
    QString result;
    for (const QChar c : text) {
        result += c;
        result += QChar(0x200B);
    }
    return result;
}

constexpr int kMargin = 6;

WatchListWindow *ensureWindow()
{
    WatchListState &s = state();
    if (!s.window)
        s.window = new WatchListWindow;
    return s.window;
}

// A project was loaded: the list follows it. A window the user does not see
// is filled quietly and stays hidden; one on screen is refreshed in place.
void followLoadedProject()
{
    WatchListState &s = state();
    if (s.window && s.window->isVisible()) {
        openWatchList(true);
        return;
    }
    ensureWindow()->load();
    s.isOpen = true;
    s.isHidden = true;
}

} // namespace

WatchListWindow::WatchListWindow(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("watchListWindow"));
    setWindowTitle(QStringLiteral("Merkliste Recherche"));
    applySkin(this);
    WindowStack::instance();

    m_project = new QLabel(this);
    m_project->setObjectName(QStringLiteral("projectLabel"));
    m_project->setTextFormat(Qt::PlainText);
    m_project->setWordWrap(true);
    makeRoomForUmlautDots(m_project);

    m_list = new WatchListView(this);
    m_list->setObjectName(QStringLiteral("watchList"));
    m_list->setColumnCount(1);
    m_list->setHeaderHidden(true);
    m_list->setRootIsDecorated(false);
    m_list->setIndentation(0);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setIconSize(QSize(kIconWidth, kIconWidth));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->setColumnWidth(0, kColumnWidth);
    QPalette colors = m_list->palette();
    colors.setColor(QPalette::Base, baseColor());
    colors.setColor(QPalette::Text, textColor());
    m_list->setPalette(colors);

    QPushButton *ascending = windowButton(QStringLiteral("a - z"), QStringLiteral("ascendingButton"), this);
    QPushButton *descending = windowButton(QStringLiteral("z - a"), QStringLiteral("descendingButton"), this);
    QPushButton *unsorted = windowButton(QStringLiteral("s / v"), QStringLiteral("unsortedButton"), this);
    unsorted->setToolTip(QStringLiteral("Unsortiert: Suchmaschinen-Eingaben, dann Varianten"));
    QPushButton *remove = windowButton(QStringLiteral("Löschen"), QStringLiteral("deleteButton"), this);
    QPushButton *helpButton = windowButton(QStringLiteral("?"), QStringLiteral("helpButton"), this);
    helpButton->setToolTip(QStringLiteral("Hilfe"));
    QPushButton *close = windowButton(QStringLiteral("Schliessen"), QStringLiteral("closeButton"), this);

    m_newEntry = new QLineEdit(this);
    m_newEntry->setObjectName(QStringLiteral("newEntryEdit"));
    m_newEntry->setMaxLength(static_cast<int>(WatchList::kMaxText));
    m_newEntry->setPlaceholderText(QStringLiteral("Neuer Eintrag"));
    m_newEntry->setMinimumWidth(0);
    QPushButton *addButton = windowButton(QStringLiteral("Hinzufügen"), QStringLiteral("addButton"), this);
    connect(addButton, &QPushButton::clicked, this, &WatchListWindow::onAddClicked);
    connect(m_newEntry, &QLineEdit::returnPressed, this, &WatchListWindow::onAddClicked);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &WatchListWindow::onRowDoubleClicked);
    connect(ascending, &QPushButton::clicked, this, [this]() { onSort(WatchList::Sorting::Ascending); });
    connect(descending, &QPushButton::clicked, this, [this]() { onSort(WatchList::Sorting::Descending); });
    connect(unsorted, &QPushButton::clicked, this, [this]() { onSort(WatchList::Sorting::None); });
    connect(remove, &QPushButton::clicked, this, &WatchListWindow::onDeleteClicked);
    connect(helpButton, &QPushButton::clicked, this, &WatchListWindow::onHelpClicked);
    connect(close, &QPushButton::clicked, this, []() { hideWatchList(); });

    auto *buttons = new QGridLayout;
    buttons->setHorizontalSpacing(3);
    buttons->setVerticalSpacing(3);
    buttons->addWidget(m_newEntry, 0, 0, 1, 6);
    buttons->addWidget(addButton, 1, 0, 1, 6);
    buttons->addWidget(ascending, 2, 0, 1, 2);
    buttons->addWidget(descending, 2, 2, 1, 2);
    buttons->addWidget(unsorted, 2, 4, 1, 2);
    buttons->addWidget(remove, 3, 0, 1, 4);
    buttons->addWidget(helpButton, 3, 4, 1, 2);
    buttons->addWidget(close, 4, 0, 1, 6);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(5);
    layout->addWidget(m_project);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    // The window unfolds from a few pixels; the layout must let it.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    setUnfolding(false);
    sizeTo(QSize(kWidth, kHeight));

    m_rememberTimer = new QTimer(this);
    m_rememberTimer->setSingleShot(true);
    m_rememberTimer->setInterval(kRememberMilliseconds);
    connect(m_rememberTimer, &QTimer::timeout, this, &WatchListWindow::rememberSize);

    connect(&WindowStack::instance(), &WindowStack::modalWindowsChanged, this, &WatchListWindow::followModalWindow);
}

WatchListWindow::~WatchListWindow()
{
    // The program ends while the edge is still being dragged.
    if (isVisible())
        rememberSize();
}

QTreeWidget *WatchListWindow::list() const { return m_list; }

QSize WatchListWindow::openingSize() const
{
    QSize size(kWidth, kHeight);
    const SettingsStore &store = settingsStore();
    const auto width = store.readNumber(kWidthSetting);
    const auto height = store.readNumber(kHeightSetting);
    // Numbers no screen has are a damaged entry, not a wish.
    if (width && height && *width <= 100000 && *height <= 100000)
        size = QSize(static_cast<int>(*width), static_cast<int>(*height));
    size = size.expandedTo(QSize(kWidth, kMinimumHeight));
    const QScreen *near = screen() ? screen() : QGuiApplication::primaryScreen();
    if (near) {
        const QRect area = near->availableGeometry();
        size = size.boundedTo(QSize(area.width() - 2 * kFrameSide, area.height() - 40));
    }
    return size;
}

void WatchListWindow::rememberSize()
{
    m_rememberTimer->stop();
    if (m_playing || size() == m_requested)
        return;
    // A size that cannot be written is only not remembered; the window
    // works on all the same.
    SettingsStore &store = settingsStore();
    if (store.writeNumber(kWidthSetting, static_cast<std::uint32_t>(width())))
        store.writeNumber(kHeightSetting, static_cast<std::uint32_t>(height()));
    m_requested = size();
}

void WatchListWindow::takeOpeningSize()
{
    rememberSize();
    sizeTo(openingSize());
}

void WatchListWindow::sizeTo(QSize size)
{
    m_requested = size;
    resize(size);
}

void WatchListWindow::setUnfolding(bool unfolding)
{
    // The window unfolds from a few pixels; afterwards the user may make it
    // larger, but not too small for its buttons.
    setMinimumSize(unfolding ? QSize(0, 0) : QSize(kWidth, kMinimumHeight));
}

void WatchListWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitColumn();
    if (!m_playing && isVisible() && size() != m_requested)
        m_rememberTimer->start();
}

void WatchListWindow::hideEvent(QHideEvent *event)
{
    rememberSize();
    QWidget::hideEvent(event);
}

void WatchListWindow::fitColumn()
{
    const int wanted = std::max({kColumnWidth, m_list->viewport()->width(), m_list->contentWidth()});
    if (m_list->columnWidth(0) != wanted)
        m_list->setColumnWidth(0, wanted);
}

bool WatchListWindow::animated()
{
    return !qEnvironmentVariableIsSet("VANTOR_NO_ANIMATION") && !DialogHooks::instance().intercepting();
}

QIcon WatchListWindow::kindIcon(int kind)
{
    // Drawn here, so the window needs no picture files; the transparent
    // background stands for the white of the old images.
    QPixmap pixmap(kIconWidth, kIconWidth);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case WatchList::EngineInput: {
        // What people typed into search engines: a magnifying glass.
        const QColor blue(0, 90, 200);
        painter.setPen(QPen(blue, 1.6));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(1.3, 1.3, 6.4, 6.4));
        painter.setPen(QPen(blue, 2.2, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(7.0, 7.0), QPointF(10.6, 10.6));
        break;
    }
    case WatchList::Variant: {
        // Variants and related terms: two overlapping cards.
        const QColor green(0, 130, 60);
        painter.setPen(QPen(green, 1.2));
        painter.setBrush(QColor(200, 235, 210));
        painter.drawRoundedRect(QRectF(0.8, 0.8, 7.0, 7.0), 1.2, 1.2);
        painter.setBrush(green);
        painter.drawRoundedRect(QRectF(4.2, 4.2, 7.0, 7.0), 1.2, 1.2);
        break;
    }
    default: {
        // Kept by hand: a bookmark.
        QPainterPath mark;
        mark.moveTo(2.5, 0.5);
        mark.lineTo(9.5, 0.5);
        mark.lineTo(9.5, 11.5);
        mark.lineTo(6.0, 8.3);
        mark.lineTo(2.5, 11.5);
        mark.closeSubpath();
        painter.setPen(QPen(QColor(150, 80, 0), 1.0));
        painter.setBrush(QColor(235, 150, 30));
        painter.drawPath(mark);
        break;
    }
    }
    painter.end();
    return QIcon(pixmap);
}

void WatchListWindow::setProjectName(const QString &name)
{
    const QString quoted = QStringLiteral("'") + name + QStringLiteral("'");
    m_projectText = QStringLiteral("Projekt ") + quoted;
    // "Projekt" and the name on lines of their own where they do not fit on
    // one; a name wider than the window breaks inside.
    const bool fits = m_project->fontMetrics().horizontalAdvance(quoted) <= kWidth - 2 * kMargin;
    m_project->setText(fits ? m_projectText : QStringLiteral("Projekt ") + breakable(quoted));
    m_project->setToolTip(m_projectText);
}

QTreeWidgetItem *WatchListWindow::makeRow(const std::string &text, int kind, const QIcon &icon) const
{
    auto *row = new QTreeWidgetItem;
    const QString shown = fromCp1252(text);
    row->setText(0, shown);
    // The window is narrow; the whole text shows when the mouse rests on it.
    row->setToolTip(0, shown);
    row->setIcon(0, icon);
    row->setForeground(0, textColor());
    row->setData(0, Qt::UserRole, kind);
    return row;
}

void WatchListWindow::rebuild()
{
    m_list->clear();
    QList<QTreeWidgetItem *> rows;
    const QIcon icons[] = { kindIcon(WatchList::Kept), kindIcon(WatchList::EngineInput), kindIcon(WatchList::Variant) };
    for (const WatchList::Entry &entry : m_model.entries())
        rows.append(makeRow(entry.text, entry.kind, icons[entry.kind >= 0 && entry.kind <= 2 ? entry.kind : 0]));
    m_list->addTopLevelItems(rows);
    fitColumn();
}

void WatchListWindow::load()
{
    setProjectName(fromCp1252(displayNameWizard(programSettings().currentProject)));
    const bool none = m_model.load(programSettings().currentProject);
    rebuild();
    // Nobody would see the notice on a hidden window; it would only hold up
    // the project load.
    if (none && isVisible())
        playEmptyNotice();
}

bool WatchListWindow::save()
{
    return m_model.save(programSettings().currentProject);
}

bool WatchListWindow::add(const std::string &text, int kind)
{
    if (!m_model.add(text, kind))
        return false;
    // The model put it at the top or at its sorted place; the rows follow.
    const std::string stored = text.substr(0, WatchList::kMaxText);
    const auto &entries = m_model.entries();
    const auto at = std::find_if(
        entries.begin(), entries.end(), [&](const WatchList::Entry &entry) { return entry.text == stored; });
    m_list->insertTopLevelItem(static_cast<int>(at - entries.begin()), makeRow(stored, kind, kindIcon(kind)));
    fitColumn();
    return true;
}

void WatchListWindow::wait(int milliseconds)
{
    if (!animated())
        return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void WatchListWindow::playEmptyNotice()
{
    // The text runs down the list and goes: there is nothing to choose from.
    m_playing = true;
    m_list->insertTopLevelItem(0, new QTreeWidgetItem(QStringList { QString::fromUtf8(kEmptyNotice) }));
    m_list->repaint();
    wait(kNoticeStepMilliseconds);
    for (int i = 0; i < kNoticeBlankRows; ++i) {
        m_list->insertTopLevelItem(0, new QTreeWidgetItem(QStringList { QStringLiteral(" ") }));
        m_list->repaint();
        wait(kNoticeStepMilliseconds);
    }
    wait(kNoticeShownMilliseconds);
    m_list->clear();
    m_playing = false;
}

void WatchListWindow::unfold(QSize from, QSize step)
{
    const QSize target = openingSize();
    // A size of the user's own ends the steps as far short of its height as
    // the first size does; no step is larger than the window will be.
    const int limit = target.height() - (kHeight - kUnfoldLimit);
    if (animated()) {
        m_playing = true;
        QSize size = from;
        QEventLoop loop;
        QTimer timer;
        timer.setInterval(kStepMilliseconds);
        connect(&timer, &QTimer::timeout, &loop, [&]() {
            if (size.height() >= limit) {
                loop.quit();
                return;
            }
            sizeTo(size.boundedTo(target));
            size += step;
        });
        sizeTo(size.boundedTo(target));
        size += step;
        timer.start();
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        m_playing = false;
    }
    setUnfolding(false);
    sizeTo(target);
}

void WatchListWindow::placeBesideFront()
{
    const QWidget *front = WindowStack::topWindow();
    const QScreen *screen = front ? front->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize opening = openingSize();
    const int outerWidth = opening.width() + 2 * kFrameSide;
    QPoint topLeft = area.topLeft() + QPoint(20, 20);
    if (front) {
        // Beside the window in front, where it covers nothing of it.
        const QRect beside = front->frameGeometry();
        if (beside.right() + outerWidth <= area.right())
            topLeft = QPoint(beside.right() + 1, beside.top());
        else if (beside.left() - outerWidth >= area.left())
            topLeft = QPoint(beside.left() - outerWidth, beside.top());
        else
            topLeft = QPoint(area.right() + 1 - outerWidth, beside.top());
    }
    topLeft.setX(std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() + 1 - outerWidth)));
    topLeft.setY(std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() + 1 - opening.height() - 40)));
    move(topLeft);
    m_placed = true;
}

void WatchListWindow::attachToFront()
{
    // Our dialogs are modal to the whole application, and Qt blocks every
    // window that is not a child of the modal window in front. As a transient
    // child of that window the list stays usable beside it, and stays above it.
    winId();
    QWidget *modal = QApplication::activeModalWidget();
    QWindow *owner = modal && modal != this ? modal->windowHandle() : nullptr;
    // A box that stands over this window itself is its child; the other way
    // round would make a loop.
    for (const QWindow *up = owner; up; up = up->transientParent()) {
        if (up == windowHandle())
            return;
    }
    if (windowHandle()->transientParent() != owner)
        windowHandle()->setTransientParent(owner);
    // Not every window manager keeps a child above its owner when a click
    // in the owner brings that to the front; the list would vanish behind
    // the page whose fields it fills. Every click and every activation of
    // the owner's window passes here first.
    if (m_front != owner) {
        if (m_front)
            m_front->removeEventFilter(this);
        m_front = owner;
        if (owner)
            owner->installEventFilter(this);
    }
}

bool WatchListWindow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (watched == m_front && (type == QEvent::MouseButtonPress || type == QEvent::FocusIn) && isVisible()) {
        // After the window manager has put the owner on top.
        QTimer::singleShot(0, this, [this]() {
            if (isVisible())
                raise();
        });
    }
    return QWidget::eventFilter(watched, event);
}

void WatchListWindow::followModalWindow()
{
    if (!windowHandle())
        return;
    attachToFront();
}

void WatchListWindow::unfoldFirst()
{
    placeBesideFront();
    attachToFront();
    setUnfolding(true);
    sizeTo(QSize(kUnfoldStart, kUnfoldStart));
    show();
    unfold(QSize(kUnfoldStart, kUnfoldStart), QSize(3, 10));
}

void WatchListWindow::unfoldAgain()
{
    if (!m_placed)
        placeBesideFront();
    attachToFront();
    setUnfolding(true);
    const int width = openingSize().width();
    sizeTo(QSize(width, kUnfoldStart));
    show();
    raise();
    activateWindow();
    unfold(QSize(width, kUnfoldStart), QSize(0, 15));
}

void WatchListWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    DialogHooks::instance().notifyShown(this, DialogHooks::Window::Passive);
}

void WatchListWindow::closeEvent(QCloseEvent *event)
{
    // The close box does what "Schliessen" does: the window only hides.
    event->ignore();
    hideWatchList();
}

void WatchListWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        onHelpClicked();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        hideWatchList();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void WatchListWindow::onSort(WatchList::Sorting sorting)
{
    if (m_playing)
        return;
    m_model.setSorting(sorting);
    load();
}

void WatchListWindow::onDeleteClicked()
{
    if (m_playing)
        return;
    std::vector<std::size_t> rows;
    const QList<QTreeWidgetItem *> selected = m_list->selectedItems();
    for (QTreeWidgetItem *item : selected)
        rows.push_back(static_cast<std::size_t>(m_list->indexOfTopLevelItem(item)));
    if (rows.empty())
        return;
    m_model.remove(rows);
    rebuild();
    if (!save())
        showProjectFailure(currentUi(), ProjectFailure::SaveData, programSettings().currentProject);
}

void WatchListWindow::onAddClicked()
{
    if (m_playing)
        return;
    const QString typed = m_newEntry->text().trimmed();
    if (typed.isEmpty())
        return;
    if (!fitsCp1252(typed.toStdString())) {
        currentUi().message(de("Eintrag nicht speicherbar"),
            de("Der Eintrag enthält Zeichen, die Vantor!! in der Projektdatei nicht speichern kann."));
        m_newEntry->setFocus();
        return;
    }
    const bool added = add(toCp1252(typed), WatchList::Kept);
    // The new row, or the one that was there already, for the user to see.
    const QList<QTreeWidgetItem *> rows = m_list->findItems(typed, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (!rows.isEmpty()) {
        m_list->setCurrentItem(rows.front());
        m_list->scrollToItem(rows.front());
    }
    m_newEntry->setFocus();
    if (!added) {
        currentUi().message(de("Eintrag bereits vorhanden"), de("Der Eintrag steht bereits in der Merkliste."));
        return;
    }
    m_newEntry->clear();
    if (!save())
        showProjectFailure(currentUi(), ProjectFailure::SaveData, programSettings().currentProject);
}

void WatchListWindow::onRowDoubleClicked(QTreeWidgetItem *row)
{
    if (m_playing || !row)
        return;
    // The page behind the list is the modal window the list belongs to.
    QWidget *front = QApplication::activeModalWidget();
    auto *target = dynamic_cast<WatchListTarget *>(front);
    if (!target || !target->takeWatchListTerms({ row->text(0) })) {
        QApplication::beep();
        return;
    }
    // The page took the keyboard for the term; the list stays in sight
    // above it for the next one.
    raise();
}

void WatchListWindow::onHelpClicked()
{
    openHelp(help::kWatchList);
}

void openWatchList(bool reload)
{
    WatchListState &s = state();
    if (s.window && s.window->isVisible()) {
        s.window->takeOpeningSize();
        s.window->show();
        s.window->raise();
    } else if (s.window) {
        s.window->unfoldAgain();
        s.isHidden = false;
    } else {
        ensureWindow()->unfoldFirst();
        s.isOpen = true;
        s.isHidden = false;
        s.window->load();
        return;
    }
    if (reload)
        s.window->load();
}

void hideWatchList()
{
    WatchListState &s = state();
    if (!s.window)
        return;
    s.window->hide();
    s.isHidden = true;
}

bool addToWatchList(const std::string &text, int kind)
{
    WatchListState &s = state();
    if (!s.window || !s.isOpen) {
        // Never shown yet: the rows of the file come first, or the next save
        // would drop them.
        ensureWindow()->load();
        s.isOpen = true;
        s.isHidden = !s.window->isVisible();
    }
    return s.window->add(text, kind);
}

bool saveWatchList()
{
    WatchListState &s = state();
    // A list never loaded holds nothing of the file; writing it would empty it.
    if (!s.window || !s.isOpen)
        return true;
    return s.window->save();
}

void loadWatchList()
{
    WatchListState &s = state();
    ensureWindow()->load();
    s.isOpen = true;
}

void destroyWatchList()
{
    WatchListState &s = state();
    delete s.window;
    s = WatchListState {};
}

WatchListWindow *watchListWindow()
{
    return state().window;
}

void installWatchList()
{
    projects::setProjectLoadedHandler(&followLoadedProject);
}

} // namespace vantor::gui
