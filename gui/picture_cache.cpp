#include "gui/picture_cache.h"

#include <map>
#include <mutex>
#include <utility>

#include "gui/pixel_scale.h"
#include "gui/resource_pixels.h"

namespace picture_cache {
namespace {

// Editors open on the host's interface thread, but nothing stops a host from running two.
std::mutex mutex;
// By resource id and percent. Only the holders keep a picture alive.
std::map<std::pair<int, int>, std::weak_ptr<const PixelSurface>> pictures;

std::size_t bytesOf(const PixelSurface& surface) {
    return static_cast<std::size_t>(surface.getWidth()) * static_cast<std::size_t>(surface.getHeight()) * 4;
}

}  // namespace

std::shared_ptr<const PixelSurface> picture(int id, int percent) {
    const std::lock_guard<std::mutex> lock(mutex);
    std::erase_if(pictures, [](const auto& entry) { return entry.second.expired(); });
    const std::pair<int, int> key(id, percent);
    if (auto found = pictures.find(key); found != pictures.end())
        if (std::shared_ptr<const PixelSurface> held = found->second.lock()) return held;
    std::shared_ptr<const PixelSurface> loaded;
    if (percent == pixel_scale::kDefaultPercent)
        loaded = loadResourcePixels(id);
    else
        loaded = loadResourcePixels(id, percent);
    if (!loaded || !loaded->isValid()) return nullptr;
    pictures[key] = loaded;
    return loaded;
}

std::size_t bytesInUse() {
    const std::lock_guard<std::mutex> lock(mutex);
    std::size_t bytes = 0;
    for (const auto& entry : pictures)
        if (std::shared_ptr<const PixelSurface> held = entry.second.lock()) bytes += bytesOf(*held);
    return bytes;
}

}  // namespace picture_cache
