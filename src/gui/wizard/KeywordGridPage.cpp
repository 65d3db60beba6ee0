#include "wizard/KeywordGridPage.h"

#include "platform/Help.h"
#include "project/ProjectRecord.h"
#include "ui/QtText.h"
#include "ui/Ui.h"
#include "wizard/WaitCursorUi.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace vantor::gui {

namespace {

constexpr int kRows = ProjectRecord::kTermsPerCopy;
constexpr int kFieldWidth = 150;

// The column a field stands in: the homepage takes two, then one per copy.
int columnOf(int index) { return index / kRows; }

QString columnHeading(int column)
{
    if (column == 0)
        return QStringLiteral("Homepage 1 - 15");
    if (column == 1)
        return QStringLiteral("Homepage 16 - 30");
    return QStringLiteral("Kopie ") + QString::number(column - 1);
}

} // namespace

KeywordGridPage::KeywordGridPage(QWidget *parent)
    : WizardPageDialog(QStringLiteral("keywordGridPage"), QStringLiteral("Web-Site: Suchbegriffe"),
                       help::kKeywordGrid, Header::PathOnNewLine, Back::Shown, parent)
{
    QBoxLayout *content = contentLayout();
    content->addWidget(adviceLabel(
        QStringLiteral("Bei der Homepage müssen die zentralen Schlüsselwörter eingetragen werden (z.B. Fachgebiet "
                       "der Angebote, Produkte, Kerngeschäfte, usw.)."),
        QStringLiteral("homepageAdvice")));
    content->addWidget(adviceLabel(
        QStringLiteral("Kopie 1 bis 9 sind Kopien der Homepage und können speziellere Schlüsselwörter zu bestimmten "
                       "Themengebieten enthalten. Nennen Sie das wichtigste Schlüsselwort jeder Kopie zuerst. Sie "
                       "müssen nicht alle Felder nutzen."),
        QStringLiteral("copiesAdvice")));
    content->addWidget(adviceLabel(QStringLiteral("Wiederholen Sie innnerhalb einer Kopie auch kein Schlüsselwort."),
                                 QStringLiteral("repeatAdvice")));
    content->addSpacing(6);

    // Eleven columns of fifteen fields: the homepage in two, each copy in
    // one, side by side in a strip that scrolls sideways. Tab goes down a
    // column and on to the top of the next, and the strip follows the focus.
    auto *grid = new QWidget;
    grid->setObjectName(QStringLiteral("keywordGrid"));
    auto *cells = new QGridLayout(grid);
    cells->setContentsMargins(4, 2, 4, 4);
    cells->setHorizontalSpacing(8);
    cells->setVerticalSpacing(3);
    for (int row = 0; row < kRows; ++row) {
        auto *number = new QLabel(QString::number(row + 1), grid);
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        cells->addWidget(number, row + 1, 0);
    }
    const int columns = columnOf(keywordgrid::kFieldCount - 1) + 1;
    for (int column = 0; column < columns; ++column) {
        auto *heading = new QLabel(columnHeading(column), grid);
        heading->setObjectName(QStringLiteral("heading%1").arg(column));
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        cells->addWidget(heading, 0, column + 1);
    }
    for (int i = 0; i < keywordgrid::kFieldCount; ++i) {
        auto *edit = new QLineEdit(grid);
        edit->setObjectName(QStringLiteral("field") + QString::number(keywordgrid::fieldId(i)));
        edit->setMaxLength(static_cast<int>(keywordgrid::kMaxTerm));
        edit->setFixedWidth(kFieldWidth);
        cells->addWidget(edit, i % kRows + 1, columnOf(i) + 1);
        m_fields[static_cast<std::size_t>(i)] = edit;
    }

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("keywordScroll"));
    m_scroll->setWidget(grid);
    m_scroll->setWidgetResizable(false);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scroll->setFrameShape(QFrame::StyledPanel);
    // All fifteen rows in view; as many columns as the screen has room for.
    const int height = grid->sizeHint().height() + m_scroll->horizontalScrollBar()->sizeHint().height() +
                       2 * m_scroll->frameWidth();
    m_scroll->setFixedHeight(height);
    int room = 980;
    if (const QScreen *screen = parent ? parent->screen() : QApplication::primaryScreen())
        room = std::min(room, screen->availableGeometry().width() - 60);
    m_scroll->setFixedWidth(std::min(room, grid->sizeHint().width() + 2 * m_scroll->frameWidth()));
    content->addWidget(m_scroll);
    content->addSpacing(4);
    content->addWidget(adviceLabel(QStringLiteral("Zum Springen von Feld zu Feld verwenden Sie die Tab-Taste!\n"
                                                "Verwenden Sie soviel Suchbegriffe wie nötig und so wenig wie "
                                                "möglich!"),
                                 QStringLiteral("tabAdvice")));

    buttonsAfter(m_fields.back());
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // The field with the focus is always wholly in view, with a bit of the
    // next column, however it got there (Tab, a click, a marked gap).
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && m_scroll->widget()->isAncestorOf(now))
            showWholly(now);
    });

    showFields(keywordgrid::open(projectRecord()));
    m_fields[0]->setFocus();
}

void KeywordGridPage::showWholly(QWidget *field)
{
    // QScrollArea::ensureWidgetVisible() only brings a line edit's cursor
    // into view, which leaves most of a field in the last column outside.
    const QRect area(field->mapTo(m_scroll->widget(), QPoint(0, 0)), field->size());
    QScrollBar *strip = m_scroll->horizontalScrollBar();
    const int margin = kFieldWidth / 3;
    const int width = m_scroll->viewport()->width();
    if (area.left() - margin < strip->value())
        strip->setValue(area.left() - margin);
    else if (area.right() + margin > strip->value() + width)
        strip->setValue(area.right() + margin - width);
}

keywordgrid::Fields KeywordGridPage::fieldsShown() const
{
    keywordgrid::Fields fields;
    for (std::size_t i = 0; i < fields.size(); ++i)
        fields[i] = toCp1252(m_fields[i]->text());
    return fields;
}

void KeywordGridPage::showFields(const keywordgrid::Fields &fields)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const QString text = fromCp1252(fields[i]);
        // Only what changed, so the cursor stays where the user left it.
        if (m_fields[i]->text() != text)
            m_fields[i]->setText(text);
    }
}

bool KeywordGridPage::storePage(PageResult)
{
    keywordgrid::Fields fields = fieldsShown();
    // The marker stands in its field and the focus is there while the
    // message tells the user to look for it.
    const keywordgrid::Validation found = keywordgrid::validate(fields, projectRecord());
    if (found.kind != keywordgrid::Validation::Ok) {
        QLineEdit *edit = m_fields[static_cast<std::size_t>(found.field)];
        if (found.kind == keywordgrid::Validation::Gap)
            edit->setText(fromCp1252(keywordgrid::kGapMarker));
        edit->setFocus();
        edit->selectAll();
        showWholly(edit);
    }
    const bool valid = keywordgrid::validateAndShow(fields, projectRecord(), currentUi());
    showFields(fields);
    return valid;
}

bool KeywordGridPage::holdsNoTerm(const QString &text) const
{
    // The placeholders and the gap marker only stand in for a term.
    for (int i = 0; i < 3; ++i) {
        if (text == fromCp1252(keywordgrid::placeholder(i)))
            return true;
    }
    return text.contains(fromCp1252(keywordgrid::kGapMarker)) || WizardPageDialog::holdsNoTerm(text);
}

void KeywordGridPage::offerAnalysis()
{
    keywordgrid::Fields fields = fieldsShown();
    if (!keywordgrid::placeholdersUntouched(fields))
        return;
    Ui &ui = currentUi();
    if (!ui.question("Dokument analysieren",
                     toCp1252(QStringLiteral(
                         "Es sind noch keine Suchbegriffe eingegeben. Vantor!! kann nun für Sie versuchen, die "
                         "Informationen aus dem Dokument zu lesen. Wenn Sie dies möchten, klicken Sie \"Ok\", "
                         "ansonsten auf \"Abbruch\".\nHinweis: Sie sollten alle gefundenen Informationen unbedingt "
                         "überarbeiten (Siehe Hinweise im Dialog unter \"Info\" und in der Hilfe!)"))))
        return;
    ProjectRecord &record = projectRecord();
    {
        WaitCursorUi waiting(ui);
        keywordgrid::analyseHomepageKeywords(record.path.str(), fields, record, waiting);
    }
    showFields(fields);
}

} // namespace vantor::gui
