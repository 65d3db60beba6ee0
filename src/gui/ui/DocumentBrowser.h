#pragma once

#include <QTextBrowser>

namespace vantor::gui {

// A QTextBrowser that reads the pages of a site the way the engine does:
// cp1252, UTF-8 or UTF-16 as the page itself says, whatever Qt's own
// decoders know. Form fields, which Qt's rich text cannot show, become plain
// text, so the report's date, homepage and lists stay readable.
class DocumentBrowser : public QTextBrowser
{
    Q_OBJECT
public:
    explicit DocumentBrowser(QWidget *parent = nullptr);

    // The page's bytes as text Qt's rich text shows in full.
    static QString readablePage(const QByteArray &page);

protected:
    QVariant loadResource(int type, const QUrl &name) override;
};

} // namespace vantor::gui
