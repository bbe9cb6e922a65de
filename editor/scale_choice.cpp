#include "editor/scale_choice.h"

#include <atomic>
#include <cstdlib>
#include <optional>
#include <string>

#include "gui/desktop_scale.h"
#include "gui/pixel_scale.h"
#include "platform/settings_store.h"

namespace scale_choice {
namespace {

// The value beside the preset system's own: the percentage as text ("150").
constexpr const char* kValueName = "EditorSize";
constexpr std::size_t kMaxTextSize = 8;

std::atomic<unsigned> choicesStored{0};

}  // namespace

int storedUserPercent() {
    const std::optional<std::string> text = platform::SettingsStore::readText(kValueName, kMaxTextSize);
    if (!text) return 0;
    const int percent = std::atoi(text->c_str());
    return pixel_scale::isOffered(percent) ? percent : 0;
}

bool storeUserPercent(int percent) {
    if (!pixel_scale::isOffered(percent)) return false;
    const bool stored = static_cast<bool>(platform::SettingsStore::writeText(kValueName, std::to_string(percent)));
    choicesStored.fetch_add(1, std::memory_order_relaxed);
    return stored;
}

unsigned storedChoices() { return choicesStored.load(std::memory_order_relaxed); }

int choose(int hostPercent, void* parentWindow) {
    if (const int user = storedUserPercent()) return user;
    if (pixel_scale::isOffered(hostPercent)) return hostPercent;
    return pixel_scale::nearestOffered(desktopScalePercent(parentWindow));
}

}  // namespace scale_choice
