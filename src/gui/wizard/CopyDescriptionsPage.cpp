#include "wizard/CopyDescriptionsPage.h"

#include "platform/Help.h"
#include "project/ProjectRecord.h"
#include "ui/QtText.h"
#include "wizard/LimitedTextEdit.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vantor::gui {

CopyDescriptionsPage::CopyDescriptionsPage(QWidget *parent)
    : WizardPageDialog(QStringLiteral("copyDescriptionsPage"), QStringLiteral("Web-Site: Beschreibungen der Kopien"),
                       help::kCopyDescriptions, Header::PathAfterBlank, Back::Shown, parent)
    , m_opened(titlepages::openCopyDescriptions(projectRecord()))
{
    QGridLayout *fields = beginCopyFields(
        QStringLiteral("Jede Kopie der Homepage erhält eine eigene Beschreibung. Beschreiben Sie kurz, worum es in "
                       "der Kopie geht, und lassen Sie ihre Suchbegriffe mit einfließen. Kopien ohne Suchbegriffe "
                       "brauchen keine Beschreibung. Eine Beschreibung sollte maximal 150 Buchstaben lang sein."),
        QStringLiteral("copyDescriptionsAdvice"), 5);
    LimitedTextEdit *first = nullptr;
    for (std::size_t c = 0; c < m_fields.size(); ++c) {
        const int row = static_cast<int>(c);
        auto *label = new QLabel(QStringLiteral("Beschreibung Kopie %1:").arg(row + 1), this);
        label->setTextFormat(Qt::PlainText);
        auto *edit = new LimitedTextEdit(static_cast<int>(titlepages::kCopyDescriptionLength), this);
        edit->setObjectName(QStringLiteral("copyDescription%1Edit").arg(row + 1));
        edit->setMinimumWidth(520);
        // Two lines in view; the field scrolls for more.
        edit->setFixedHeight(edit->fontMetrics().lineSpacing() * 2 + 12);
        edit->setStoredText(fromCp1252(m_opened[c].text));
        edit->setEnabled(m_opened[c].enabled);
        label->setBuddy(edit);
        fields->addWidget(label, row, 0, Qt::AlignTop);
        fields->addWidget(edit, row, 1);
        m_fields[c] = edit;
        if (!first && m_opened[c].enabled)
            first = edit;
    }

    finishCopyFields(fields, m_fields.back(), first);
}

bool CopyDescriptionsPage::storePage(PageResult)
{
    titlepages::CopyFields fields = m_opened;
    for (std::size_t c = 0; c < m_fields.size(); ++c)
        fields[c].text = toCp1252(m_fields[c]->storedText());
    titlepages::storeCopyDescriptions(fields, projectRecord());
    return true;
}

} // namespace vantor::gui
