#include "ui/DocumentViewer.h"

#include "platform/Help.h"
#include "platform/Shell.h"
#include "ui/AddressDialog.h"
#include "ui/BesidePlacement.h"
#include "ui/DialogHooks.h"
#include "ui/DocumentBrowser.h"
#include "ui/QtText.h"
#include "ui/SkinnedDialog.h"
#include "ui/WindowStack.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

namespace vantor::gui {

namespace {

QPointer<DocumentViewer> g_viewer;

constexpr int kPreferredWidth = 960;
constexpr int kPreferredHeight = 720;
// Smaller than this, a report reads badly; the viewer then rather covers
// part of the dialog - its lists, which the document shows anyway - but not
// its buttons where it can help it.
constexpr int kMinimumWidth = 640;
constexpr int kMinimumHeight = 460;

const QString kNotice = QStringLiteral(
    "Auf diesem Rechner ließ sich kein Web-Browser starten. Vantor!! zeigt das Dokument deshalb selbst an. "
    "Mit \"Adresse kopieren\" können Sie es in einem Browser Ihrer Wahl öffnen.");

// A target names a local document when it is a file: URL or a path that
// exists; everything else (web addresses, mailto:) can only be passed on.
QString localPath(const std::string &target)
{
    const QString text = fromCp1252(target);
    const QUrl url(text);
    if (url.isLocalFile())
        return url.toLocalFile();
    if (isWebAddress(target) || text.contains(QStringLiteral("://")) || text.startsWith(QStringLiteral("mailto:")))
        return {};
    return text;
}

void showAddressOnly(const QString &address)
{
    AddressDialog::showAddress(QStringLiteral("Browser nicht gestartet"),
                               QStringLiteral("Der Web-Browser konnte nicht gestartet werden. Bitte öffnen Sie "
                                              "diese Adresse von Hand:"),
                               address);
}

} // namespace

DocumentViewer::DocumentViewer(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("documentViewer"));
    setWindowTitle(QStringLiteral("Vantor!!"));
    applySkin(this);

    m_notice = new QLabel(kNotice, this);
    m_notice->setObjectName(QStringLiteral("noticeLabel"));
    m_notice->setWordWrap(true);

    m_address = new QLineEdit(this);
    m_address->setObjectName(QStringLiteral("addressField"));
    m_address->setReadOnly(true);

    m_browser = new DocumentBrowser(this);
    m_browser->setObjectName(QStringLiteral("documentBrowser"));
    // Links are ours to follow: local pages here, web addresses to the
    // browser or into the address box.
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &DocumentViewer::onAnchorClicked);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &DocumentViewer::onSourceChanged);

    m_back = new QPushButton(QStringLiteral("Zurück"), this);
    m_back->setObjectName(QStringLiteral("backButton"));
    m_back->setEnabled(false);
    auto *openInBrowser = new QPushButton(QStringLiteral("Im Browser öffnen"), this);
    openInBrowser->setObjectName(QStringLiteral("openInBrowserButton"));
    auto *copyAddress = new QPushButton(QStringLiteral("Adresse kopieren"), this);
    copyAddress->setObjectName(QStringLiteral("copyAddressButton"));
    auto *help = new QPushButton(QStringLiteral("Hilfe"), this);
    help->setObjectName(QStringLiteral("helpButton"));
    auto *close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(m_back, &QPushButton::clicked, this, &DocumentViewer::onBackClicked);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QPushButton::setEnabled);
    connect(openInBrowser, &QPushButton::clicked, this, &DocumentViewer::onOpenInBrowserClicked);
    connect(copyAddress, &QPushButton::clicked, this, &DocumentViewer::onCopyAddressClicked);
    connect(help, &QPushButton::clicked, this, &DocumentViewer::onHelpClicked);
    connect(close, &QPushButton::clicked, this, &DocumentViewer::onCloseClicked);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(openInBrowser);
    buttons->addWidget(copyAddress);
    buttons->addStretch();
    buttons->addWidget(help);
    buttons->addWidget(close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_notice);
    layout->addWidget(m_address);
    layout->addWidget(m_browser, 1);
    layout->addLayout(buttons);

    resize(kPreferredWidth, kPreferredHeight);

    connect(&WindowStack::instance(), &WindowStack::modalWindowsChanged, this, &DocumentViewer::followModalWindow);
}

bool DocumentViewer::showDocument(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        m_address->setText(path);
        m_browser->setPlainText(QStringLiteral("Das Dokument wurde nicht gefunden oder kann nicht gelesen "
                                               "werden:\n") +
                                path);
        return false;
    }
    m_browser->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    return true;
}

QString DocumentViewer::currentPath() const { return m_address->text(); }

void DocumentViewer::onSourceChanged(const QUrl &url)
{
    m_address->setText(url.isLocalFile() ? url.toLocalFile() : url.toString());
    const QString title = m_browser->documentTitle().simplified();
    setWindowTitle(QStringLiteral("Vantor!! – ") + (title.isEmpty() ? QFileInfo(m_address->text()).fileName() : title));
}

void DocumentViewer::onAnchorClicked(const QUrl &url)
{
    const QUrl target = url.isRelative() ? m_browser->source().resolved(url) : url;
    if (target.isLocalFile()) {
        const QString path = target.toLocalFile();
        if (path == m_browser->source().toLocalFile() && target.hasFragment()) {
            m_browser->scrollToAnchor(target.fragment());
            return;
        }
        if (QFileInfo(path).isFile()) {
            m_browser->setSource(target);
            return;
        }
    }
    // Whatever is not a page on this disk goes where the system sends it,
    // and to the address box when no browser starts.
    const std::string address = toCp1252(target.toString());
    if (!systemOpen(address))
        showAddressOnly(target.toString());
}

void DocumentViewer::onBackClicked() { m_browser->backward(); }

void DocumentViewer::onOpenInBrowserClicked()
{
    if (systemOpen(toCp1252(m_address->text())))
        return;
    m_notice->setText(QStringLiteral("Auch jetzt ließ sich kein Web-Browser starten. Kopieren Sie die Adresse "
                                     "mit \"Adresse kopieren\" und öffnen Sie sie in einem Browser."));
}

void DocumentViewer::onCopyAddressClicked()
{
    QGuiApplication::clipboard()->setText(m_address->text());
    m_address->selectAll();
}

void DocumentViewer::onHelpClicked() { openHelp(help::kViewer); }

void DocumentViewer::onCloseClicked() { close(); }

void DocumentViewer::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_F1) {
        onHelpClicked();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DocumentViewer::present()
{
    // Our dialogs are modal to the whole application; as a transient child
    // of the one in front the viewer still takes clicks and scrolls.
    // Beside the window that asked, so that its buttons - the next example,
    // "Optimierung rückgängig" - stay in reach; where the user has put it,
    // it stays, unless it stands over those buttons.
    QWidget *asking = WindowStack::topWindow();
    if (asking == this)
        asking = nullptr;
    const bool wasVisible = isVisible();
    if (!wasVisible || (asking && BesidePlacement::coversButtons(frameGeometry(), asking))) {
        const QRect placed = BesidePlacement::place(asking, QSize(kPreferredWidth, kPreferredHeight),
                                                    QSize(kMinimumWidth, kMinimumHeight));
        if (!placed.isNull()) {
            resize(placed.size());
            move(placed.topLeft());
        }
    } else {
        BesidePlacement::keepOnScreen(this);
    }
    // Placed first: once the window has its native handle, a move before the
    // window manager framed it would put the title bar off the screen.
    QWidget *dialog = QApplication::activeModalWidget();
    winId();
    windowHandle()->setTransientParent(dialog && dialog != this ? dialog->windowHandle() : nullptr);
    m_notice->setText(kNotice);
    show();
    raise();
    activateWindow();
    if (!wasVisible)
        DialogHooks::instance().notifyShown(this, DialogHooks::Window::Passive);
}

void DocumentViewer::followModalWindow()
{
    if (!windowHandle())
        return;
    QWidget *dialog = QApplication::activeModalWidget();
    QWindow *owner = dialog && dialog != this ? dialog->windowHandle() : nullptr;
    if (owner != windowHandle() && owner != windowHandle()->transientParent())
        windowHandle()->setTransientParent(owner);
}

bool showWithoutBrowser(const std::string &target)
{
    const QString path = localPath(target);
    if (path.isEmpty()) {
        showAddressOnly(fromCp1252(target));
        return false;
    }
    if (!g_viewer) {
        g_viewer = new DocumentViewer;
        g_viewer->setAttribute(Qt::WA_DeleteOnClose);
    }
    const bool shown = g_viewer->showDocument(path);
    g_viewer->present();
    return shown;
}

void installDocumentViewer() { setOpenFallback(&showWithoutBrowser); }

DocumentViewer *documentViewer() { return g_viewer; }

} // namespace vantor::gui
