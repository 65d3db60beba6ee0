#include "wizard/SnippetPreview.h"

#include "ui/QtText.h"
#include "wizard/SnippetWidth.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QVBoxLayout>

#include <cmath>

namespace vantor::gui {

namespace {

const QColor kTitleBlue(0x1a, 0x0d, 0xab);
const QColor kAddressGreen(0x00, 0x66, 0x21);
const QColor kDescriptionGrey(0x4d, 0x51, 0x56);
const QColor kCountPlain(0x50, 0x50, 0x50);
const QColor kCountNear(0xc8, 0x64, 0x00);
const QColor kCountCut(0xc0, 0x00, 0x00);

constexpr int kAddressSize = 13;
// Room for what Qt draws beyond the engine's sum of advances (at most a
// pixel of rounding and the overhang of the last glyph).
constexpr int kSlack = 2;

// The text as the list gets it: the browser collapses blanks and line
// breaks to one blank and drops them at both ends.
std::string listText(const QString &text)
{
    std::string out;
    for (char c : toCp1252(text)) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
        } else {
            out += c;
        }
    }
    if (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

QString listFamily()
{
    const QString family = QStringLiteral("Liberation Sans");
    if (QFontDatabase::hasFamily(family))
        return family;
    for (const char *path : {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
                             "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"}) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(path));
        const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty())
            return families.first();
    }
    // Without the font the widths shown still hold; only the drawing is a
    // little off.
    return QStringLiteral("Arial");
}

void setTextColor(QLabel *label, const QColor &color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

QLabel *listLabel(QWidget *parent, const QString &name, int pixelSize, const QColor &color)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setFont(SnippetPreview::listFont(pixelSize));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColor(label, color);
    return label;
}

// "Titel: 512 von 600 Pixel, 58 Zeichen", orange near the limit and red
// with a note when the list cuts the text.
void showCount(QLabel *label, const QString &what, const std::string &text, double size, double limit)
{
    const double width = snippet::width(text, size);
    const bool cut = snippet::cut(text, size, limit) != text;
    QString count = QStringLiteral("%1: %2 von %3 Pixel, %4 Zeichen")
                        .arg(what)
                        .arg(std::lround(width))
                        .arg(std::lround(limit))
                        .arg(text.size());
    if (cut)
        count += QStringLiteral(" – wird gekürzt");
    label->setText(count);
    setTextColor(label, cut ? kCountCut : width >= limit * 0.95 ? kCountNear : kCountPlain);
}

} // namespace

SnippetPreview::SnippetPreview(QWidget *parent)
    : QWidget(parent)
{
    m_views[0].titleLimit = snippet::kDesktopTitle;
    m_views[0].descriptionLimit = snippet::kDesktopDescription;
    m_views[1].titleLimit = snippet::kMobileTitle;
    m_views[1].descriptionLimit = snippet::kMobileDescription;

    // A desktop list gives a title one line of its 600 pixels; a phone
    // wraps the same pixels onto two lines of a narrow column, and onto a
    // third when whole words leave gaps at the line ends.
    auto *views = new QHBoxLayout(this);
    views->setSpacing(10);
    views->addWidget(
        makeView(m_views[0], QStringLiteral("desktop"), QStringLiteral("Vorschau in der Trefferliste – Desktop:"),
            static_cast<int>(snippet::kDesktopTitle) + kSlack, 1, 3),
        0, Qt::AlignTop);
    views->addWidget(
        makeView(m_views[1], QStringLiteral("mobile"), QStringLiteral("Mobil:"), 310, 3, 3), 0, Qt::AlignTop);
    views->addStretch(1);

    views->setContentsMargins(0, 0, 0, 0);

    showTitle();
    showDescription();
    showAddress();
}

QWidget *SnippetPreview::makeView(
    View &view, const QString &name, const QString &caption, int width, int titleLines, int descriptionLines)
{
    auto *box = new QWidget(this);
    box->setObjectName(name + QStringLiteral("Snippet"));

    auto *label = new QLabel(caption, box);
    label->setObjectName(name + QStringLiteral("Caption"));
    label->setTextFormat(Qt::PlainText);

    // The white of a result page, whatever the dialog's skin.
    auto *frame = new QFrame(box);
    frame->setObjectName(name + QStringLiteral("Frame"));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setAutoFillBackground(true);
    QPalette white = frame->palette();
    white.setColor(QPalette::Window, Qt::white);
    frame->setPalette(white);

    view.title = listLabel(frame, name + QStringLiteral("Title"), static_cast<int>(snippet::kTitleSize), kTitleBlue);
    view.address = listLabel(frame, name + QStringLiteral("Address"), kAddressSize, kAddressGreen);
    view.description = listLabel(
        frame, name + QStringLiteral("Description"), static_cast<int>(snippet::kDescriptionSize), kDescriptionGrey);
    view.title->setWordWrap(titleLines > 1);
    view.description->setWordWrap(true);
    // The texts follow each other as in the list; the frame has room for
    // the most lines they can take, so the page keeps its size.
    const int titleHeight = QFontMetrics(view.title->font()).lineSpacing() * titleLines;
    const int addressHeight = QFontMetrics(view.address->font()).lineSpacing();
    const int descriptionHeight = QFontMetrics(view.description->font()).lineSpacing() * descriptionLines;
    view.title->setFixedWidth(width);
    view.title->setMaximumHeight(titleHeight);
    view.address->setFixedSize(width, addressHeight);
    view.description->setFixedWidth(width);
    view.description->setMaximumHeight(descriptionHeight);

    constexpr int kMargin = 6;
    constexpr int kSpacing = 2;
    auto *inFrame = new QVBoxLayout(frame);
    inFrame->setContentsMargins(kMargin, kMargin - 2, kMargin, kMargin - 2);
    inFrame->setSpacing(kSpacing);
    inFrame->addWidget(view.title);
    inFrame->addWidget(view.address);
    inFrame->addWidget(view.description);
    inFrame->addStretch(1);
    frame->setFixedSize(width + 2 * kMargin + 2 * frame->frameWidth(),
                        titleHeight + addressHeight + descriptionHeight + 2 * kSpacing + 2 * (kMargin - 2)
                            + 2 * frame->frameWidth());

    // The narrow column gives each count two lines, so the note "wird
    // gekürzt" has its room there too.
    const int countWidth = width + 2 * kMargin + 2 * frame->frameWidth();
    const int countLines = width < 500 ? 2 : 1;
    view.titleCount = new QLabel(box);
    view.titleCount->setObjectName(name + QStringLiteral("TitleCount"));
    view.descriptionCount = new QLabel(box);
    view.descriptionCount->setObjectName(name + QStringLiteral("DescriptionCount"));
    for (QLabel *count : {view.titleCount, view.descriptionCount}) {
        count->setTextFormat(Qt::PlainText);
        count->setWordWrap(true);
        count->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        count->setFixedSize(countWidth, count->fontMetrics().lineSpacing() * countLines);
    }

    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(label);
    layout->addWidget(frame);
    layout->addWidget(view.titleCount);
    layout->addWidget(view.descriptionCount);
    return box;
}

void SnippetPreview::setTitle(const QString &title)
{
    m_title = listText(title);
    showTitle();
}

void SnippetPreview::setDescription(const QString &description)
{
    m_description = listText(description);
    showDescription();
}

void SnippetPreview::setAddress(const QString &address)
{
    m_address = address;
    showAddress();
}

QFont SnippetPreview::listFont(int pixelSize)
{
    static const QString family = listFamily();
    QFont font(family);
    font.setPixelSize(pixelSize);
    // The engine adds up the plain advances.
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QString SnippetPreview::homepageAddress(const QString &submitUrl, const QString &fileName)
{
    const QString url = submitUrl.trimmed();
    if (url.isEmpty())
        return fileName;
    return url.endsWith(QLatin1Char('/')) ? url + fileName : url + QLatin1Char('/') + fileName;
}

void SnippetPreview::showTitle()
{
    for (View &view : m_views) {
        view.title->setText(fromCp1252(snippet::cut(m_title, snippet::kTitleSize, view.titleLimit)));
        showCount(view.titleCount, QStringLiteral("Titel"), m_title, snippet::kTitleSize, view.titleLimit);
    }
}

void SnippetPreview::showDescription()
{
    for (View &view : m_views) {
        view.description->setText(
            fromCp1252(snippet::cut(m_description, snippet::kDescriptionSize, view.descriptionLimit)));
        showCount(view.descriptionCount, QStringLiteral("Beschreibung"), m_description, snippet::kDescriptionSize,
            view.descriptionLimit);
    }
}

void SnippetPreview::showAddress()
{
    // A long address is shortened as lists do, in the middle, since its
    // end names the page.
    for (View &view : m_views) {
        view.address->setText(
            QFontMetrics(view.address->font()).elidedText(m_address, Qt::ElideMiddle, view.address->width()));
        view.address->setToolTip(m_address);
    }
}

} // namespace vantor::gui
