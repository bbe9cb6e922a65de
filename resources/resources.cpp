#include "resources/resources.h"

#include "resources/embedded_artwork.h"

namespace resources {

Resource find(int id) {
    // A handful of entries: a straight search is all it takes.
    for (std::size_t i = 0; i < embedded::kEntryCount; ++i) {
        const embedded::Entry& entry = embedded::kEntries[i];
        if (entry.id == id) return Resource{entry.data, entry.size};
    }
    return Resource{};
}

}  // namespace resources
