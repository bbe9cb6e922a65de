#include "gui/click_counter.h"

int ClickCounter::press(std::uint32_t time, double x, double y, int button) {
    const double dx = x - lastX;
    const double dy = y - lastY;
    const bool continues = count > 0 && button == lastButton && time - lastTime <= kMaxInterval &&
                           dx * dx + dy * dy <= kMaxDistance * kMaxDistance;
    count = continues ? count + 1 : 1;
    lastTime = time;
    lastX = x;
    lastY = y;
    lastButton = button;
    return count;
}
