#include "wizard/CopyTitlesPage.h"

#include "platform/Help.h"
#include "project/ProjectRecord.h"
#include "ui/QtText.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace vantor::gui {

CopyTitlesPage::CopyTitlesPage(QWidget *parent)
    : WizardPageDialog(QStringLiteral("copyTitlesPage"), QStringLiteral("Web-Site: Titel der Kopien"),
                       help::kCopyTitles, Header::PathAfterBlank, Back::Shown, parent)
    , m_opened(titlepages::openCopyTitles(projectRecord()))
{
    QGridLayout *fields = beginCopyFields(
        QStringLiteral("Jede Kopie der Homepage erhält einen eigenen Titel. Nennen Sie darin die wichtigsten "
                       "Suchbegriffe der Kopie, am besten den ersten zuerst. Kopien ohne Suchbegriffe werden nicht "
                       "erzeugt und brauchen keinen Titel. Ein Titel sollte maximal 20 Worte lang sein."),
        QStringLiteral("copyTitlesAdvice"), 6);
    QLineEdit *first = nullptr;
    for (std::size_t c = 0; c < m_fields.size(); ++c) {
        const int row = static_cast<int>(c);
        auto *label = new QLabel(QStringLiteral("Titel Kopie %1:").arg(row + 1), this);
        label->setTextFormat(Qt::PlainText);
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("copyTitle%1Edit").arg(row + 1));
        edit->setMaxLength(static_cast<int>(titlepages::kCopyTitleLength));
        edit->setMinimumWidth(520);
        edit->setText(fromCp1252(m_opened[c].text));
        edit->setEnabled(m_opened[c].enabled);
        edit->setCursorPosition(0);
        label->setBuddy(edit);
        fields->addWidget(label, row, 0);
        fields->addWidget(edit, row, 1);
        m_fields[c] = edit;
        if (!first && m_opened[c].enabled)
            first = edit;
    }

    finishCopyFields(fields, m_fields.back(), first);
}

bool CopyTitlesPage::storePage(PageResult)
{
    titlepages::CopyFields fields = m_opened;
    for (std::size_t c = 0; c < m_fields.size(); ++c)
        fields[c].text = toCp1252(m_fields[c]->text());
    titlepages::storeCopyTitles(fields, projectRecord());
    return true;
}

} // namespace vantor::gui
