// A one-line progress bar on a terminal; silent when disabled (output not a terminal).
#pragma once

#include <cstdint>
#include <cstdio>

namespace host {

class CProgressBar {
public:
    static constexpr int kWidth = 40;

    CProgressBar(std::FILE* stream, bool enabled) : stream(stream), enabled(enabled) {}

    // Redraws only when the shown percentage changes, so long renders cost nothing here.
    void update(std::int64_t done, std::int64_t total);
    // Ends the bar's line.
    void finish();

private:
    std::FILE* stream;
    bool enabled;
    int shownPercent = -1;
};

}  // namespace host
