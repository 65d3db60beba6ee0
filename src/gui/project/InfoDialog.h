#pragma once

#include "ui/SkinnedDialog.h"

namespace vantor::gui {

// "Info": the version and the ways to reach the maker.
class InfoDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    explicit InfoDialog(QWidget *parent = nullptr);

private:
    void onFeedbackClicked();
    void onSupportClicked();
    void onFirstStepsClicked();
    void onOkClicked();
};

// What a useful problem report contains; leads on to the feedback form.
class SupportDialog : public SkinnedDialog
{
    Q_OBJECT
public:
    explicit SupportDialog(QWidget *parent = nullptr);

    // True when it closed through "Feedback Formular".
    bool feedbackRequested() const { return m_feedbackRequested; }

private:
    void onFeedbackFormClicked();
    void onOkClicked();

    bool m_feedbackRequested = false;
};

} // namespace vantor::gui
