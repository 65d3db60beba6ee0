#pragma once

#include "ui/GuardedDialog.h"
#include "ui/ListEditing.h"

#include <string>
#include <vector>

class QListWidget;

namespace vantor::gui {

// "Anmelde-Liste": the last look at the documents before they go out, and
// the choice of the engines and lists they go to.
class SubmitListDialog : public GuardedDialog
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

private:
    bool closingBlocked() const override { return m_editing.busy(); }

    void onAddDocumentClicked();
    void onRemoveDocumentsClicked();
    void onSaveClicked();
    void onLoadClicked();
    void onChooseTargetsClicked();
    void onReturnTargetsClicked();
    void onStartClicked();
    void onHelpClicked();

    void moveTargets(QListWidget *from, QListWidget *to);

    std::vector<std::string> m_documents;
    std::vector<std::string> m_targets;
    std::string m_submissionUrl;
    std::string m_homepagePath;
    std::string m_projectFile;
    ListEditing m_editing;

    QListWidget *m_documentList = nullptr;
    QListWidget *m_offeredList = nullptr;
    QListWidget *m_chosenList = nullptr;
};

} // namespace vantor::gui
