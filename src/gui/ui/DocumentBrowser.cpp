#include "ui/DocumentBrowser.h"

#include "optimizer/PageEncoding.h"
#include "ui/QtText.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextDocument>
#include <QUrl>

#include <string>

namespace vantor::gui {

namespace {

QString decodePage(const QByteArray &bytes)
{
    std::string page(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const Utf16 order = detectUtf16(page);
    if (order != Utf16::None)
        return QString::fromStdString(utf16ToUtf8(page, order));
    const PageEncoding encoding = detectEncoding(page);
    if (encoding.charset == Charset::Utf8) {
        if (encoding.byteOrderMark)
            page.erase(0, 3);
        return QString::fromUtf8(page.data(), static_cast<qsizetype>(page.size()));
    }
    return fromCp1252(page);
}

// What a browser shows of a text area: its text as it stands, markup and all.
QString asPreformatted(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('<'), QStringLiteral("&lt;")).replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    return QStringLiteral("<pre>") + escaped + QStringLiteral("</pre>");
}

} // namespace

DocumentBrowser::DocumentBrowser(QWidget *parent)
    : QTextBrowser(parent)
{
}

QString DocumentBrowser::readablePage(const QByteArray &page)
{
    QString html = decodePage(page);

    static const QRegularExpression textArea(QStringLiteral("<textarea\\b[^>]*>(.*?)</textarea\\s*>"),
                                             QRegularExpression::CaseInsensitiveOption |
                                                 QRegularExpression::DotMatchesEverythingOption);
    QString shown;
    qsizetype from = 0;
    for (auto it = textArea.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        shown += QStringView(html).mid(from, match.capturedStart() - from);
        shown += asPreformatted(match.captured(1));
        from = match.capturedEnd();
    }
    shown += QStringView(html).mid(from);

    // A text field shows its value; Qt would show nothing at all.
    static const QRegularExpression field(QStringLiteral("<input\\b[^>]*?\\bvalue\\s*=\\s*\"([^\"]*)\"[^>]*>"),
                                          QRegularExpression::CaseInsensitiveOption);
    shown.replace(field, QStringLiteral("<u>\\1</u>"));
    return shown;
}

QVariant DocumentBrowser::loadResource(int type, const QUrl &name)
{
    if (type == QTextDocument::HtmlResource) {
        const QUrl url = source().isValid() && name.isRelative() ? source().resolved(name) : name;
        if (url.isLocalFile()) {
            QFile file(url.toLocalFile());
            if (file.open(QIODevice::ReadOnly))
                return readablePage(file.readAll());
        }
    }
    return QTextBrowser::loadResource(type, name);
}

} // namespace vantor::gui
