#pragma once

#include "project/Configuration.h"
#include "ui/SkinnedDialog.h"

#include <array>

class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QRadioButton;

namespace vantor::gui {

// "Konfig": which header elements and techniques the optimiser uses on the
// homepage (HP) and on copies and doorway pages (ZK), the start signs of the
// generated names, and the user level. Every row carries the mark today's
// search-engine guidelines give its technique, with the reason as tool tip.
class ConfigurationDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    explicit ConfigurationDialog(QWidget *parent = nullptr);

    // What the widgets hold right now, on top of the options read at opening.
    configuration::Values shownValues() const;

private:
    struct RowBoxes {
        QCheckBox *homepage = nullptr; // null for the rows with one box
        QCheckBox *copies = nullptr;
    };

    QGroupBox *optionGroup(const QString &title, configuration::Group group, const QString &detailsName,
                           int helpTopic);
    QWidget *signSetBox();
    QWidget *userLevelBox();
    QLabel *guidelinesLegend();
    void showValues(const configuration::Values &values);

    void onSignSetClicked(int set);
    void onResetClicked();
    void onModernClicked();
    void onInternetAccessClicked();
    void onHelpClicked();
    void onOkClicked();

    configuration::Values m_values;
    std::array<RowBoxes, configuration::kRowCount> m_boxes{};
    QButtonGroup *m_signSets = nullptr;
    QRadioButton *m_user = nullptr;
    QRadioButton *m_developer = nullptr;
};

} // namespace vantor::gui
