// A failed file or settings command says so where the user is looking: the preset bar's name
// field shows the few words of its notice in a warning colour for a few seconds, then the name
// again. The editor hands each command's answer to show() and calls idle() at every idle; the
// clock can be replaced, so that tests need not wait.
#pragma once

#include <chrono>
#include <functional>

#include "presets/command_notice.h"

class CTextEdit;

class CNameFieldNotice {
public:
    using Clock = std::chrono::steady_clock;
    // Long enough to read a short message twice.
    static constexpr Clock::duration kShownFor = std::chrono::seconds(4);

    CNameFieldNotice() = default;
    void setClock(std::function<Clock::time_point()> clock) { now = std::move(clock); }

    // A failure's notice replaces whatever the field showed and starts its time; a success
    // ends an earlier notice at once, so that no stale failure stands over a new name. No
    // field (the window is closed): nothing is shown.
    void show(CTextEdit* field, const CommandNotice& notice);
    // Ends the notice once its time is up.
    void idle(CTextEdit* field);

private:
    std::function<Clock::time_point()> now = Clock::now;
    Clock::time_point until{};
};
