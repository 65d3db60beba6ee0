#include "templatewizard/TemplateWizardDialog.h"

#include "platform/Files.h"
#include "platform/Help.h"
#include "platform/Text.h"
#include "project/ProgramSettings.h"
#include "ui/DialogHooks.h"
#include "ui/FileFilter.h"
#include "ui/QtText.h"
#include "ui/UmlautRoom.h"
#include "ui/Ui.h"

#include <QButtonGroup>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vantor::gui {

namespace {

constexpr int kPlainId = 0;
constexpr int kOwnId = TemplateChoice::kStockImages + 1;
constexpr int kPicturesPerRow = 6;

const char *const kImageFilter = "Grafik Datei (*.gif;*.jpg;*.png)|*.gif;*.jpg;*.png|Alle Dateien (*.*)|*.*||";

QColor toQColor(Colour colour) { return QColor(colour.red, colour.green, colour.blue); }

void paintSwatch(QLabel *swatch, Colour colour)
{
    swatch->setStyleSheet(QStringLiteral("QLabel { background-color: #%1; border: 1px solid #808080; }")
                              .arg(QString::fromStdString(colourToHex(colour))));
    swatch->setToolTip(QLatin1Char('#') + QString::fromStdString(colourToHex(colour)));
}

// What the copied picture will look like once "Vorlage erzeugen" has given
// it the background colour: the same two palette entries among the first
// bytes, so the radio shows what the page will show.
QByteArray recolouredStockImage(const QByteArray &gif, Colour background)
{
    std::string bytes = gif.toStdString();
    recolourPalette(bytes, background);
    return QByteArray::fromStdString(bytes);
}

// The top left of the picture, tiled as a browser tiles a page background:
// the stripe of the striped pictures is at their left edge. A missing
// picture leaves an empty frame, so the rows keep their shape.
QPixmap previewOf(const QByteArray &gif)
{
    QPixmap preview(TemplateWizardDialog::kPreviewWidth, TemplateWizardDialog::kPreviewHeight);
    preview.fill(QColor(0xE4, 0xE2, 0xDC));
    QPainter painter(&preview);
    QImage image;
    if (!gif.isEmpty() && image.loadFromData(gif))
        painter.fillRect(preview.rect(), QBrush(image));
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawRect(preview.rect().adjusted(0, 0, -1, -1));
    painter.end();
    return preview;
}

// Enter presses the button with the focus, else "Vorlage erzeugen": after
// a template is made the focus is on "Vorlage einsehen", and Enter must
// not ask to overwrite what was just made.
QPushButton *dialogButton(const QString &text, const QString &name, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(true);
    return button;
}

QLabel *swatchLabel(const QString &name, QWidget *parent)
{
    auto *swatch = new QLabel(parent);
    swatch->setObjectName(name);
    swatch->setFixedSize(56, 22);
    return swatch;
}

} // namespace

TemplateWizardDialog::TemplateWizardDialog(const std::string &homepagePath, QWidget *parent)
    : SkinnedDialog(parent)
    , m_homepagePath(homepagePath)
{
    setObjectName(QStringLiteral("templateWizardDialog"));
    setWindowTitle(QStringLiteral("Vorlagen-Wizard"));
    setHelpTopic(help::kTemplateWizard);

    auto *intro = new QLabel(QStringLiteral("Der Wizard erstellt für Sie eine Vorlage für die Optimierung. Wählen Sie "
                                            "dazu ein Hintergrundbild und die Farben. Diese Vorlage können Sie sich "
                                            "dann ansehen (auf \"Vorlage einsehen\" klicken)."),
                             this);
    intro->setObjectName(QStringLiteral("introText"));
    intro->setTextFormat(Qt::PlainText);
    intro->setWordWrap(true);

    // Where the template goes is decided by this file; the user chose it a
    // moment ago, but a second look saves a template in the wrong site.
    auto *homepage = new QLabel(QStringLiteral("Homepage: ") + fromCp1252(m_homepagePath), this);
    homepage->setObjectName(QStringLiteral("homepageLine"));
    homepage->setTextFormat(Qt::PlainText);
    homepage->setWordWrap(true);
    makeRoomForUmlautDots(homepage);

    m_backgrounds = new QButtonGroup(this);
    m_backgrounds->setExclusive(true);

    auto *pictureBox = new QGroupBox(QStringLiteral(" Hintergrundbild "), this);
    auto *pictureGrid = new QGridLayout(pictureBox);
    pictureGrid->setHorizontalSpacing(12);
    pictureGrid->setVerticalSpacing(8);
    QRadioButton *plain =
        addBackgroundRadio(kPlainId, QStringLiteral("einfarbig"), QStringLiteral("plainRadio"), pictureBox);
    pictureGrid->addWidget(plain, 0, 0, 1, kPicturesPerRow);
    for (int n = 1; n <= TemplateChoice::kStockImages; ++n) {
        QRadioButton *radio = addBackgroundRadio(n, QString(), QStringLiteral("stockRadio%1").arg(n), pictureBox);
        radio->setIconSize(QSize(kPreviewWidth, kPreviewHeight));
        const QString name = fromCp1252(stockImageName(n));
        radio->setToolTip(name);
        radio->setAccessibleName(QStringLiteral("Hintergrundbild %1").arg(n));
        m_stockRadios[static_cast<std::size_t>(n - 1)] = radio;
        pictureGrid->addWidget(radio, 1 + (n - 1) / kPicturesPerRow, (n - 1) % kPicturesPerRow);
    }
    QRadioButton *own = addBackgroundRadio(kOwnId, QStringLiteral("anderes:"), QStringLiteral("ownRadio"), pictureBox);
    m_ownImage = new QLineEdit(pictureBox);
    m_ownImage->setObjectName(QStringLiteral("ownImageEdit"));
    m_ownImage->setMaxLength(static_cast<int>(TemplateChoice::kOwnImageCapacity));
    QPushButton *chooseOwn = dialogButton(QStringLiteral("Wählen..."), QStringLiteral("chooseOwnImageButton"), pictureBox);
    auto *ownRow = new QHBoxLayout;
    ownRow->addWidget(own);
    ownRow->addWidget(m_ownImage, 1);
    ownRow->addWidget(chooseOwn);
    const int ownRowIndex = 1 + (TemplateChoice::kStockImages + kPicturesPerRow - 1) / kPicturesPerRow;
    pictureGrid->addLayout(ownRow, ownRowIndex, 0, 1, kPicturesPerRow);

    auto *colourBox = new QGroupBox(QStringLiteral(" Farben "), this);
    auto *colourGrid = new QGridLayout(colourBox);
    colourGrid->setHorizontalSpacing(12);
    m_backgroundSwatch = swatchLabel(QStringLiteral("backgroundSwatch"), colourBox);
    m_textSwatch = swatchLabel(QStringLiteral("textSwatch"), colourBox);
    m_chooseBackgroundColour =
        dialogButton(QStringLiteral("Wählen..."), QStringLiteral("chooseBackgroundColourButton"), colourBox);
    QPushButton *chooseText = dialogButton(QStringLiteral("Wählen..."), QStringLiteral("chooseTextColourButton"), colourBox);
    auto *backgroundLabel = new QLabel(QStringLiteral("Hintergrundfarbe:"), colourBox);
    backgroundLabel->setBuddy(m_chooseBackgroundColour);
    auto *textLabel = new QLabel(QStringLiteral("Textfarbe:"), colourBox);
    textLabel->setBuddy(chooseText);
    colourGrid->addWidget(backgroundLabel, 0, 0);
    colourGrid->addWidget(m_backgroundSwatch, 0, 1);
    colourGrid->addWidget(m_chooseBackgroundColour, 0, 2);
    colourGrid->addWidget(textLabel, 1, 0);
    colourGrid->addWidget(m_textSwatch, 1, 1);
    colourGrid->addWidget(chooseText, 1, 2);
    colourGrid->setColumnStretch(3, 1);

    auto *note = new QLabel(QStringLiteral("Natürlich sollten Sie anschliessend die Vorlage noch an das Aussehen Ihrer "
                                           "Web-Site anpassen! Öffnen Sie dazu die Datei index.htm im Unterverzeichnis "
                                           "\"vantor!!\" Ihrer Homepage mit einem HTML-Editor und übernehmen Sie Logo, "
                                           "Schriften und Navigation Ihrer Site. Die Marke %Suchbegriff% muss dabei "
                                           "erhalten bleiben: An ihre Stelle setzt Vantor!! in jedem Zugangsdokument "
                                           "den Suchbegriff. Mehr dazu unter \"Vorlage anpassen\"."),
                            this);
    note->setObjectName(QStringLiteral("noteText"));
    note->setTextFormat(Qt::PlainText);
    note->setWordWrap(true);
    makeRoomForUmlautDots(note);

    m_create = dialogButton(QStringLiteral("Vorlage erzeugen"), QStringLiteral("createButton"), this);
    m_create->setDefault(true);
    m_show = dialogButton(QStringLiteral("Vorlage einsehen"), QStringLiteral("showButton"), this);
    QPushButton *adjust = dialogButton(QStringLiteral("Vorlage anpassen"), QStringLiteral("adjustButton"), this);
    QPushButton *helpButton = dialogButton(QStringLiteral("Hilfe"), QStringLiteral("helpButton"), this);
    QPushButton *ok = dialogButton(QStringLiteral("OK"), QStringLiteral("okButton"), this);

    connect(m_backgrounds, &QButtonGroup::buttonToggled, this, &TemplateWizardDialog::onBackgroundChosen);
    connect(m_ownImage, &QLineEdit::textEdited, this, &TemplateWizardDialog::onOwnImageEdited);
    connect(chooseOwn, &QPushButton::clicked, this, &TemplateWizardDialog::onChooseOwnImageClicked);
    connect(m_chooseBackgroundColour, &QPushButton::clicked, this,
            &TemplateWizardDialog::onChooseBackgroundColourClicked);
    connect(chooseText, &QPushButton::clicked, this, &TemplateWizardDialog::onChooseTextColourClicked);
    connect(m_create, &QPushButton::clicked, this, &TemplateWizardDialog::onCreateClicked);
    connect(m_show, &QPushButton::clicked, this, &TemplateWizardDialog::onShowClicked);
    connect(adjust, &QPushButton::clicked, this, &TemplateWizardDialog::onAdjustClicked);
    connect(helpButton, &QPushButton::clicked, this, &TemplateWizardDialog::onHelpClicked);
    connect(ok, &QPushButton::clicked, this, &TemplateWizardDialog::accept);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_create);
    buttons->addWidget(m_show);
    buttons->addSpacing(10);
    buttons->addWidget(adjust);
    buttons->addWidget(helpButton);
    buttons->addStretch();
    buttons->addWidget(ok);

    auto *left = new QVBoxLayout;
    left->addWidget(intro);
    left->addWidget(homepage);
    left->addWidget(pictureBox);
    left->addWidget(colourBox);
    left->addWidget(note);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(14);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    // The word-wrapped texts would otherwise make the dialog tall and narrow.
    intro->setMinimumWidth(520);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    loadStockImages();
    updatePreviews();
    updateSwatches();
    // No background is taken for the user; the focus waits on the first one.
    plain->setFocus();
}

QRadioButton *TemplateWizardDialog::addBackgroundRadio(int id, const QString &text, const QString &name,
                                                       QWidget *parent)
{
    auto *radio = new QRadioButton(text, parent);
    radio->setObjectName(name);
    m_backgrounds->addButton(radio, id);
    return radio;
}

TemplateChoice TemplateWizardDialog::choice() const
{
    TemplateChoice choice = m_choice;
    choice.ownImage = toCp1252(m_ownImage->text());
    return choice;
}

void TemplateWizardDialog::loadStockImages()
{
    const std::string directory = stockTemplateDirectory(programSettings().programDirectory);
    for (int n = 1; n <= TemplateChoice::kStockImages; ++n) {
        QFile file(fromCp1252(files::join(directory, stockImageName(n))));
        if (file.open(QIODevice::ReadOnly))
            m_stockImages[static_cast<std::size_t>(n - 1)] = file.readAll();
    }
}

void TemplateWizardDialog::updatePreviews()
{
    for (int n = 1; n <= TemplateChoice::kStockImages; ++n) {
        const QByteArray &gif = m_stockImages[static_cast<std::size_t>(n - 1)];
        const bool recoloured = n <= TemplateChoice::kRecolouredImages;
        const QPixmap preview = previewOf(recoloured ? recolouredStockImage(gif, m_choice.backgroundColour) : gif);
        m_stockRadios[static_cast<std::size_t>(n - 1)]->setIcon(QIcon(preview));
    }
}

void TemplateWizardDialog::updateSwatches()
{
    // Before the first choice the colour is offered: the plain page and the
    // first eight pictures take it, and the pictures show it at once.
    const bool applies =
        m_choice.background == TemplateChoice::Background::None || m_choice.backgroundColourApplies();
    m_backgroundSwatch->setEnabled(applies);
    m_chooseBackgroundColour->setEnabled(applies);
    paintSwatch(m_backgroundSwatch, applies ? m_choice.backgroundColour : TemplateChoice::kDisabledSwatch);
    paintSwatch(m_textSwatch, m_choice.textColour);
}

void TemplateWizardDialog::onBackgroundChosen(QAbstractButton *button, bool checked)
{
    if (!checked)
        return;
    const int id = m_backgrounds->id(button);
    const Colour before = m_choice.backgroundColour;
    if (id == kPlainId)
        m_choice.choosePlain();
    else if (id == kOwnId)
        m_choice.chooseOwn();
    else
        m_choice.chooseStock(id);
    if (!(m_choice.backgroundColour == before))
        updatePreviews();
    updateSwatches();
}

void TemplateWizardDialog::onOwnImageEdited()
{
    // Typing a picture's name means that picture.
    if (auto *own = m_backgrounds->button(kOwnId); own && !own->isChecked())
        own->setChecked(true);
}

void TemplateWizardDialog::onChooseOwnImageClicked()
{
    const QString current = m_ownImage->text();
    const QString preset = current.isEmpty() ? fromCp1252(files::directoryOf(m_homepagePath)) : current;
    const QString chosen =
        askOpenFileName(this, QStringLiteral("Hintergrundbild öffnen"), preset, qtFileFilter(QString::fromUtf8(kImageFilter)));
    if (chosen.isEmpty())
        return;
    // A name the field cannot hold whole would be cut to another one.
    if (!fitsCp1252(chosen.toStdString()) || toCp1252(chosen).size() > TemplateChoice::kOwnImageCapacity) {
        showInvalidBackgroundImage(currentUi());
        return;
    }
    m_ownImage->setText(chosen);
    m_backgrounds->button(kOwnId)->setChecked(true);
}

void TemplateWizardDialog::onChooseBackgroundColourClicked()
{
    const QColor chosen =
        askColour(this, QStringLiteral("Hintergrundfarbe wählen"), toQColor(m_choice.backgroundColour));
    if (!chosen.isValid())
        return;
    m_choice.backgroundColour = {chosen.red(), chosen.green(), chosen.blue()};
    updatePreviews();
    updateSwatches();
}

void TemplateWizardDialog::onChooseTextColourClicked()
{
    const QColor chosen = askColour(this, QStringLiteral("Textfarbe wählen"), toQColor(m_choice.textColour));
    if (!chosen.isValid())
        return;
    m_choice.textColour = {chosen.red(), chosen.green(), chosen.blue()};
    updateSwatches();
}

void TemplateWizardDialog::onCreateClicked()
{
    // The dialog stays: the next look is at the template just made.
    if (createTemplate(m_homepagePath, choice(), currentUi(), programSettings().programDirectory))
        m_show->setFocus();
}

void TemplateWizardDialog::onShowClicked() { showTemplate(m_homepagePath, currentUi()); }

void TemplateWizardDialog::onAdjustClicked() { openHelp(help::kTemplateAdjust); }

void TemplateWizardDialog::onHelpClicked() { openHelp(help::kTemplateWizard); }

void openTemplateWizard(QWidget *parent, const std::string &homepagePath)
{
    TemplateWizardDialog dialog(homepagePath, parent);
    dialog.exec();
}

} // namespace vantor::gui
