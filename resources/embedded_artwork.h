// The table of embedded PNG files that the build generates from the drawing program in
// artwork/; resources::find searches it.
#pragma once

#include <cstddef>

namespace resources::embedded {

struct Entry {
    int id;
    const unsigned char* data;
    std::size_t size;
};

extern const Entry kEntries[];
extern const std::size_t kEntryCount;

}  // namespace resources::embedded
