#include "wizard/DoorwayPage.h"

#include "platform/Help.h"
#include "project/ProjectRecord.h"
#include "ui/DialogHooks.h"
#include "ui/QtText.h"
#include "ui/Ui.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vantor::gui {

namespace {

QListWidget *termList(const QString &name, QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    list->setMinimumSize(250, 260);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QPalette white = list->palette();
    white.setColor(QPalette::Base, Qt::white);
    list->setPalette(white);
    return list;
}

} // namespace

DoorwayPage::DoorwayPage(QWidget *parent)
    : WizardPageDialog(QStringLiteral("doorwayPage"), QStringLiteral("Web-Site: Zugangsdokumente und Startseite"),
                       help::kDoorwayPage, Header::PathAfterBlank, Back::Shown, parent)
    , m_lists(doorwaypage::open(projectRecord()))
{
    m_existing = termList(QStringLiteral("existingList"), this);
    m_existing->setSelectionMode(QAbstractItemView::NoSelection);
    m_existing->setFocusPolicy(Qt::NoFocus);
    m_doorways = termList(QStringLiteral("doorwayList"), this);
    m_doorways->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto *existingLabel = new QLabel(QStringLiteral("Vorhandene Suchbegriffe:"), this);
    auto *doorwaysLabel = new QLabel(QStringLiteral("Weitere Suchbegriffe:"), this);
    doorwaysLabel->setBuddy(m_doorways);

    auto *newTermLabel = new QLabel(QStringLiteral("Neuer Suchbegriff:"), this);
    m_newTerm = new QLineEdit(this);
    m_newTerm->setObjectName(QStringLiteral("newTermEdit"));
    m_newTerm->setMaxLength(static_cast<int>(doorwaypage::kMaxTyped));
    newTermLabel->setBuddy(m_newTerm);
    auto *add = new QPushButton(QStringLiteral("Hinzufügen --->"), this);
    add->setObjectName(QStringLiteral("addButton"));
    add->setAutoDefault(false);
    auto *remove = new QPushButton(QStringLiteral("Entfernen <---"), this);
    remove->setObjectName(QStringLiteral("removeButton"));
    remove->setAutoDefault(false);

    auto *middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(newTermLabel);
    middle->addWidget(m_newTerm);
    middle->addSpacing(4);
    middle->addWidget(add);
    middle->addSpacing(18);
    middle->addWidget(remove);
    middle->addStretch();

    auto *lists = new QGridLayout;
    lists->setHorizontalSpacing(14);
    lists->addWidget(existingLabel, 0, 0);
    lists->addWidget(doorwaysLabel, 0, 2);
    lists->addWidget(m_existing, 1, 0);
    lists->addLayout(middle, 1, 1);
    lists->addWidget(m_doorways, 1, 2);
    lists->setColumnMinimumWidth(1, 190);

    m_likeHomepage = new QRadioButton(fromCp1252(doorwaypage::likeHomepageCaption(projectRecord())), this);
    m_likeHomepage->setObjectName(QStringLiteral("likeHomepageRadio"));
    m_other = new QRadioButton(QStringLiteral("anders:"), this);
    m_other->setObjectName(QStringLiteral("otherRadio"));
    auto *choice = new QButtonGroup(this);
    choice->addButton(m_likeHomepage);
    choice->addButton(m_other);
    m_startpage = new QLineEdit(this);
    m_startpage->setObjectName(QStringLiteral("startpageEdit"));
    m_startpage->setMaxLength(static_cast<int>(doorwaypage::kMaxStartPage));
    m_startpage->setMinimumWidth(240);
    auto *startRow = new QHBoxLayout;
    startRow->addWidget(m_likeHomepage);
    startRow->addSpacing(24);
    startRow->addWidget(m_other);
    startRow->addWidget(m_startpage);
    startRow->addStretch();

    QBoxLayout *content = contentLayout();
    content->addWidget(adviceLabel(QStringLiteral("In der linken Liste sehen Sie die bereits eingegebenen "
                                                "Suchbegriffe. In der rechten Liste können Sie nun weitere Begriffe, "
                                                "Varianten, Pluralformen, Synonyme, usw. eingeben."),
                                 QStringLiteral("listsAdvice")));
    content->addSpacing(6);
    content->addLayout(lists);
    content->addSpacing(10);
    content->addWidget(adviceLabel(QStringLiteral("Der Name der Startseite muß der Name für Startseiten in einem "
                                                "Verzeichnis sein. In der Regel ist dies der gleiche Name wie die "
                                                "Homepage (er lautet meistens \"index.htm\" oder \"default.htm\")."),
                                 QStringLiteral("startpageAdvice")));
    content->addLayout(startRow);

    connect(add, &QPushButton::clicked, this, &DoorwayPage::onAddClicked);
    connect(remove, &QPushButton::clicked, this, &DoorwayPage::onRemoveClicked);
    connect(choice, &QButtonGroup::buttonToggled, this, &DoorwayPage::onStartPageChoice);

    setTabOrder(m_newTerm, add);
    setTabOrder(add, remove);
    setTabOrder(remove, m_doorways);
    setTabOrder(m_doorways, m_likeHomepage);
    setTabOrder(m_likeHomepage, m_other);
    setTabOrder(m_other, m_startpage);
    buttonsAfter(m_startpage);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    for (const std::string &term : m_lists.existing)
        m_existing->addItem(fromCp1252(term));
    showDoorways();
    (m_lists.likeHomepage ? m_likeHomepage : m_other)->setChecked(true);
    m_startpage->setText(fromCp1252(m_lists.startpage));
    onStartPageChoice();
    m_newTerm->setFocus();
}

void DoorwayPage::showDoorways()
{
    m_doorways->clear();
    for (const std::string &term : m_lists.doorways)
        m_doorways->addItem(fromCp1252(term));
}

void DoorwayPage::onAddClicked()
{
    const QString text = m_newTerm->text();
    switch (doorwaypage::add(m_lists, toCp1252(text), currentUi())) {
    case doorwaypage::Added::Nothing:
    case doorwaypage::Added::Refused:
        break;
    case doorwaypage::Added::Added:
        showDoorways();
        m_newTerm->clear();
        break;
    case doorwaypage::Added::Import: {
        const QString file =
            askOpenFileName(this, QStringLiteral("Öffnen"), QStringLiteral("list.txt"), QString(), QStringLiteral("txt"));
        if (!file.isEmpty()) {
            doorwaypage::importList(m_lists, toCp1252(file));
            showDoorways();
        }
        break;
    }
    }
    m_newTerm->setFocus();
}

void DoorwayPage::onRemoveClicked()
{
    std::vector<std::size_t> rows;
    const QList<QListWidgetItem *> selected = m_doorways->selectedItems();
    for (const QListWidgetItem *item : selected)
        rows.push_back(static_cast<std::size_t>(m_doorways->row(item)));
    if (rows.empty())
        return;
    doorwaypage::remove(m_lists, rows);
    showDoorways();
}

void DoorwayPage::onStartPageChoice() { m_startpage->setEnabled(m_other->isChecked()); }

void DoorwayPage::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && focusWidget() == m_newTerm) {
        onAddClicked();
        event->accept();
        return;
    }
    WizardPageDialog::keyPressEvent(event);
}

bool DoorwayPage::storePage(PageResult result)
{
    m_lists.likeHomepage = m_likeHomepage->isChecked();
    m_lists.startpage = toCp1252(m_startpage->text());
    const bool valid = doorwaypage::store(m_lists, projectRecord(), currentUi());
    if (!valid && result == PageResult::Next) {
        m_startpage->setFocus();
        m_startpage->selectAll();
        return false;
    }
    return true;
}

} // namespace vantor::gui
