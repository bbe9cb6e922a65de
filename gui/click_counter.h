// Counts the clicks of a multiple click: a press of the same button within kMaxInterval
// milliseconds and kMaxDistance pixels of the previous press continues the count; any other
// press starts again at 1.
#pragma once

#include <cstdint>

class ClickCounter {
public:
    static constexpr std::uint32_t kMaxInterval = 250;  // milliseconds
    static constexpr double kMaxDistance = 5;           // pixels

    // The click count of a press; `time` is in milliseconds of any clock that does not jump
    // backward (window-system event times wrap around, which the difference survives).
    int press(std::uint32_t time, double x, double y, int button);
    void reset() { count = 0; }

private:
    int count = 0;
    std::uint32_t lastTime = 0;
    double lastX = 0;
    double lastY = 0;
    int lastButton = -1;
};
