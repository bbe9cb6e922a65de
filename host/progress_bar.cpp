#include "host/progress_bar.h"

namespace host {

void CProgressBar::update(std::int64_t done, std::int64_t total) {
    if (!enabled) return;
    const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
    if (percent == shownPercent) return;
    shownPercent = percent;
    char bar[kWidth + 1];
    const int filled = percent * kWidth / 100;
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
    bar[kWidth] = '\0';
    std::fprintf(stream, "\rrendering [%s] %3d%%", bar, percent);
    std::fflush(stream);
}

void CProgressBar::finish() {
    if (!enabled || shownPercent < 0) return;
    std::fputc('\n', stream);
    std::fflush(stream);
    shownPercent = -1;
}

}  // namespace host
