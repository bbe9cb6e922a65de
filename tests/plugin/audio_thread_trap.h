// A trap for the real-time rules of the audio thread: linked into a test program, it stands in
// front of the C library's allocation functions and lock operations, and counts every call a
// thread makes while it has armed the trap. Other threads, and the armed thread once it has
// disarmed, run untouched.
#pragma once

#include <string>

namespace rttrap {

struct Findings {
    int allocations = 0;  // malloc, calloc, realloc, the aligned forms, and so operator new
    int frees = 0;        // free, realloc of a block, and so operator delete
    int locks = 0;        // mutexes, read-write locks, spin locks, semaphores
    // The function trapped first, and the calls that led to it, innermost first, one per
    // line: a symbol's name, or for a hidden one its file and offset (for addr2line).
    const char* firstFunction = nullptr;
    std::string firstStack;

    int total() const { return allocations + frees + locks; }
};

// Arms or disarms the trap for the calling thread.
void arm();
void disarm();

// What the armed threads did since the last reset.
Findings findings();
void reset();

}  // namespace rttrap
