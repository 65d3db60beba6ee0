#pragma once

#include "ui/Ui.h"

#include <QPointer>
#include <QProgressBar>

namespace vantor::gui {

// What the optimisation run talks to: the program's own boxes, the
// dialog's progress bar, and an event loop that keeps turning between the
// steps, so the dialog can be moved and repaints while the run goes on.
class OptimizationRunUi : public Ui
{
public:
    OptimizationRunUi(Ui &boxes, QProgressBar *bar);
    ~OptimizationRunUi() override;
    OptimizationRunUi(const OptimizationRunUi &) = delete;
    OptimizationRunUi &operator=(const OptimizationRunUi &) = delete;

    void message(const std::string &title, const std::string &text) override;
    bool question(const std::string &title, const std::string &text) override;
    bool questionDefaultNo(const std::string &title, const std::string &text) override;
    void systemError(const std::string &title, const std::string &text) override;
    void showWait(const std::string &text) override;
    void closeWait() override;
    ConnectionAnswer connectionError(const std::string &title, const std::string &text,
                                     bool configureCloses) override;
    bool credentials(const std::string &title, std::string &user, std::string &password) override;
    void progress(int value, int maximum) override;
    void pump() override;
    void pause(int milliseconds) override;
    bool cancelRequested() override { return m_boxes.cancelRequested(); }

    // The wait cursor over the whole application, from the start of the run
    // to its end; the boxes that need an answer get the arrow meanwhile.
    void setWaiting(bool waiting);
    bool waiting() const { return m_waiting; }

    // While it lives, a box of someone else (the template wizard's, say)
    // shows the arrow during the run too.
    class Answering
    {
    public:
        explicit Answering(const OptimizationRunUi &ui);
        ~Answering();
        Answering(const Answering &) = delete;
        Answering &operator=(const Answering &) = delete;

    private:
        bool m_arrow;
    };

private:
    Ui &m_boxes;
    QPointer<QProgressBar> m_bar;
    bool m_waiting = false;
};

} // namespace vantor::gui
