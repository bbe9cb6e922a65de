// Keeps the bank's preset names whole for readers on other threads: the host may copy them for
// its project (on a background thread) while the user renames a preset in the editor.
//
// A versioned copy, not a lock: a writer makes the version odd, writes the names and makes it
// even again; a reader copies, and keeps its copy only when the version was even before and
// unchanged after, copying again otherwise. A reader never holds up a writer. Writers take
// turns among themselves; names change only on user actions and host requests, never on the
// audio thread, which does not read them either. The name bytes are stored and loaded as
// atomics (storeName, copyName), so a copy that overlaps a write is thrown away, never a data
// race.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

class CNameGuard {
public:
    // Runs write() with every other writer and reader kept out of a torn state.
    template <class Write>
    void write(Write&& change) {
        std::uint32_t seen = version.load(std::memory_order_relaxed);
        for (;;) {
            if (!(seen & kWriting) &&
                version.compare_exchange_weak(seen, seen + 1, std::memory_order_acquire, std::memory_order_relaxed))
                break;
            std::this_thread::yield();
            seen = version.load(std::memory_order_relaxed);
        }
        // The name bytes are stored with release order, so a reader that sees one of them sees
        // the odd version too and discards its copy.
        change();
        version.store(seen + 2, std::memory_order_release);
    }

    // Runs copy() until it has run with no write in between; copy() may run more than once and
    // must only copy.
    template <class Copy>
    void read(Copy&& copy) const {
        for (;;) {
            const std::uint32_t before = version.load(std::memory_order_acquire);
            if (before & kWriting) {
                std::this_thread::yield();
                continue;
            }
            copy();
            if (version.load(std::memory_order_acquire) == before) return;
        }
    }

private:
    static constexpr std::uint32_t kWriting = 1;  // the low bit: a write is under way
    std::atomic<std::uint32_t> version{0};
};
