#pragma once

#include "ui/SkinnedDialog.h"

#include <string>
#include <vector>

class QListWidget;
class QPushButton;

namespace vantor::gui {

// "Anmelde-Liste": the last look at the documents before they go out, and
// the choice of the engines and lists they go to.
class SubmitListDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    // Texts are cp1252; documents are URLs without scheme.
    SubmitListDialog(std::vector<std::string> documents, const std::vector<std::string> &offered,
                     std::string submissionUrl, std::string homepagePath, std::string projectFile,
                     QWidget *parent = nullptr);

    // After "Starten": what the run takes, in list order.
    const std::vector<std::string> &documents() const { return m_documents; }
    const std::vector<std::string> &targets() const { return m_targets; }

    void reject() override;

private:
    void onAddDocumentClicked();
    void onRemoveDocumentsClicked();
    void onSaveClicked();
    void onLoadClicked();
    void onChooseTargetsClicked();
    void onReturnTargetsClicked();
    void onStartClicked();
    void onHelpClicked();

    // The effects pause with the events running; meanwhile no second click
    // may start anything.
    void setBusy(bool busy);
    std::vector<std::string> listedDocuments() const;
    void moveTargets(QListWidget *from, QListWidget *to);

    std::vector<std::string> m_documents;
    std::vector<std::string> m_targets;
    std::string m_submissionUrl;
    std::string m_homepagePath;
    std::string m_projectFile;
    bool m_busy = false;

    QListWidget *m_documentList = nullptr;
    QListWidget *m_offeredList = nullptr;
    QListWidget *m_chosenList = nullptr;
    std::vector<QPushButton *> m_buttons;
};

} // namespace vantor::gui
