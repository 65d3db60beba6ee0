#pragma once

#include <QString>
#include <QWidget>

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QUrl;

namespace vantor::gui {

class DocumentBrowser;

// Where no browser can be started (no desktop, no xdg-open, or xdg-open
// finds no program), the program shows its documents itself: the report,
// the optimised pages, the template, the overview. One window, reused, that
// follows links between local pages and stays usable beside a modal dialog,
// as the help window does. Web addresses are handed on to the browser, and
// where that fails too, shown to copy.
class DocumentViewer : public QWidget
{
    Q_OBJECT
public:
    explicit DocumentViewer(QWidget *parent = nullptr);

    // Shows the local document (a path or a file: URL); false when it cannot
    // be read.
    bool showDocument(const QString &path);
    QString currentPath() const;
    DocumentBrowser *browser() const { return m_browser; }

    // In front of the modal window in front, with the focus.
    void present();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void onAnchorClicked(const QUrl &url);
    void onSourceChanged(const QUrl &url);
    void onBackClicked();
    void onOpenInBrowserClicked();
    void onCopyAddressClicked();
    void onHelpClicked();
    void onCloseClicked();
    void followModalWindow();

    QLabel *m_notice = nullptr;
    QLineEdit *m_address = nullptr;
    DocumentBrowser *m_browser = nullptr;
    QPushButton *m_back = nullptr;
};

// The one way every window of ours shows a document or address that the
// system could not open: local documents in the viewer, web addresses in a
// box to copy. Installed behind shellOpen() as its fallback.
void installDocumentViewer();
bool showWithoutBrowser(const std::string &target);
// The viewer while it exists, else null.
DocumentViewer *documentViewer();

} // namespace vantor::gui
