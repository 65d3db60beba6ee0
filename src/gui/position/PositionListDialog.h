#pragma once

#include "ui/GuardedDialog.h"
#include "ui/ListEditing.h"

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;

namespace vantor::gui {

// "Anmelde-Liste" of the position check: the last look at the search terms
// and the engines before the queries go out. Terms can be added, removed,
// kept with the project and brought back; engines can only be left out.
class PositionListDialog : public GuardedDialog
{
    Q_OBJECT
public:
    // Texts are cp1252; the terms lower case and cut at '#' already.
    PositionListDialog(const std::vector<std::string> &terms, const std::vector<std::string> &engines,
                       std::string projectFile, QWidget *parent = nullptr);

    // After "Starten": what the run takes, in list order.
    const std::vector<std::string> &terms() const { return m_terms; }
    const std::vector<std::string> &engines() const { return m_engines; }

protected:
    bool closingBlocked() const override { return m_editing.busy(); }
    void keyPressEvent(QKeyEvent *event) override;

private:
    void onNewTermEdited(const QString &text);
    void onAddTermClicked();
    void onRemoveTermsClicked();
    void onSaveClicked();
    void onLoadClicked();
    void onRemoveEnginesClicked();
    void onStartClicked();
    void onHelpClicked();

    void addTermRow(const std::string &term);

    std::string m_projectFile;
    std::vector<std::string> m_terms;
    std::vector<std::string> m_engines;
    ListEditing m_editing;

    QListWidget *m_termList = nullptr;
    QLineEdit *m_newTerm = nullptr;
    QListWidget *m_engineList = nullptr;
};

} // namespace vantor::gui
