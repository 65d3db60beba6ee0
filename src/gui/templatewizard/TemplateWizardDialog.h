#pragma once

#include "templatewizard/TemplateWizard.h"
#include "ui/SkinnedDialog.h"

#include <QByteArray>

#include <array>
#include <string>

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vantor::gui {

// "Vorlagen-Wizard": makes the template vantor!!/index.htm beside one
// homepage file from the stock template, a background and two colours. The
// dialog only gathers the choice; making and showing the template is the
// engine's, with the program's own boxes.
class TemplateWizardDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    // The homepage path is cp1252, as the engine keeps it.
    explicit TemplateWizardDialog(const std::string &homepagePath, QWidget *parent = nullptr);

    // The choice as the next "Vorlage erzeugen" would take it.
    TemplateChoice choice() const;

    // The size of the pictures on the stock radios.
    static constexpr int kPreviewWidth = 64;
    static constexpr int kPreviewHeight = 40;

private:
    QRadioButton *addBackgroundRadio(int id, const QString &text, const QString &name, QWidget *parent);
    void loadStockImages();
    void updatePreviews();
    void updateSwatches();

    void onBackgroundChosen(QAbstractButton *button, bool checked);
    void onOwnImageEdited();
    void onChooseOwnImageClicked();
    void onChooseBackgroundColourClicked();
    void onChooseTextColourClicked();
    void onCreateClicked();
    void onShowClicked();
    void onAdjustClicked();
    void onHelpClicked();

    std::string m_homepagePath;
    TemplateChoice m_choice;
    // The stock pictures as they ship, empty where one is missing.
    std::array<QByteArray, TemplateChoice::kStockImages> m_stockImages;

    QButtonGroup *m_backgrounds = nullptr;
    std::array<QRadioButton *, TemplateChoice::kStockImages> m_stockRadios{};
    QLineEdit *m_ownImage = nullptr;
    QLabel *m_backgroundSwatch = nullptr;
    QLabel *m_textSwatch = nullptr;
    QPushButton *m_chooseBackgroundColour = nullptr;
    QPushButton *m_create = nullptr;
    QPushButton *m_show = nullptr;
};

// The template wizard for this homepage file (cp1252), modal over parent.
void openTemplateWizard(QWidget *parent, const std::string &homepagePath);

} // namespace vantor::gui
