#pragma once

#include "ui/Ui.h"

namespace vantor {

// The Ui of a worker thread: it must not touch a window, so it shows
// nothing, answers every question with no and refuses a login. A worker
// that can forward a login elsewhere overrides credentials().
class SilentUi : public Ui
{
public:
    void message(const std::string &, const std::string &) override {}
    bool question(const std::string &, const std::string &) override { return false; }
    void systemError(const std::string &, const std::string &) override {}
    void showWait(const std::string &) override {}
    void closeWait() override {}
    ConnectionAnswer connectionError(const std::string &, const std::string &, bool) override
    {
        return ConnectionAnswer::Cancel;
    }
    bool credentials(const std::string &, std::string &, std::string &) override { return false; }
    void progress(int, int) override {}
    void pump() override {}
    void pause(int) override {}
};

} // namespace vantor
