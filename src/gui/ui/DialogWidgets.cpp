#include "ui/DialogWidgets.h"

#include "project/ProjectFile.h"
#include "project/ProjectRecord.h"
#include "submit/SubmitPreparation.h"
#include "submit/UmlautRowDelegate.h"
#include "ui/DialogHooks.h"
#include "ui/FileFilter.h"
#include "ui/QtText.h"
#include "ui/Ui.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

namespace vantor::gui {

QPushButton *dialogButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QLabel *textLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

QLabel *projectCaption(QWidget *parent)
{
    QLabel *caption = textLabel(QString(), parent);
    caption->setObjectName(QStringLiteral("projectLabel"));
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    return caption;
}

void whiteBase(QWidget *widget)
{
    QPalette white = widget->palette();
    white.setColor(QPalette::Base, Qt::white);
    widget->setPalette(white);
}

QListWidget *lineList(const QString &name, QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setItemDelegate(new UmlautRowDelegate(list));
    whiteBase(list);
    return list;
}

QListWidget *choiceList(const QString &name, QWidget *parent)
{
    QListWidget *list = lineList(name, parent);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return list;
}

std::optional<std::string> loadProject(const std::string &project, QLabel *caption)
{
    if (!LoadProjectData(project)) {
        showProjectFailure(currentUi(), ProjectFailure::LoadData, project);
        return std::nullopt;
    }
    std::string homepagePath = projectRecord().path.str();
    caption->setText(fromCp1252(submitprep::projectCaption(project, homepagePath)));
    return homepagePath;
}

QString askReportFileName(QWidget *parent, const QString &preset, const char *filter, const QString &suffix)
{
    QString name = askSaveFileName(
        parent, QStringLiteral("Report speichern"), preset, qtFileFilter(QString::fromUtf8(filter)), suffix);
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += QLatin1Char('.') + suffix;
    return name;
}

void setUpProgress(QProgressBar *bar, int maximum)
{
    bar->setObjectName(QStringLiteral("progressBar"));
    bar->setRange(0, maximum);
    bar->setValue(0);
    bar->setTextVisible(false);
}

} // namespace vantor::gui
