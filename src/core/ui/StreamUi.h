#pragma once

#include "ui/Ui.h"

#include <iosfwd>

namespace vantor {

// A Ui on text streams, for the command line: messages go out as UTF-8,
// questions are answered from the input stream when interactive is set and
// with the safe answer ("Abbruch", "Abbrechen") otherwise.
class StreamUi : public Ui
{
public:
    StreamUi(std::ostream &out, std::istream &in, bool interactive);

    void message(const std::string &title, const std::string &text) override;
    bool question(const std::string &title, const std::string &text) override;
    void systemError(const std::string &title, const std::string &text) override;
    void showWait(const std::string &text) override;
    void closeWait() override;
    ConnectionAnswer connectionError(const std::string &title, const std::string &text,
                                     bool configureCloses) override;
    bool credentials(const std::string &title, std::string &user, std::string &password) override;
    void progress(int value, int maximum) override;
    void pump() override;
    void pause(int milliseconds) override;

private:
    bool askYes(const std::string &prompt);

    std::ostream &m_out;
    std::istream &m_in;
    bool m_interactive;
};

} // namespace vantor
