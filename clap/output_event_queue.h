// The editor's parameter edits on their way to the CLAP host: the main thread puts them in, and
// whichever thread hands the host its output events (process() on the audio thread, or flush)
// takes them out. One writer and one reader, no lock and no allocation; when full, new edits
// are dropped rather than waited for.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace chordwell_clap {

struct EditEvent {
    std::uint16_t type;   // clap::EventType: a value, a gesture's begin or end
    std::uint32_t param;
    double value;
};

class OutputEventQueue {
public:
    static constexpr std::uint32_t kCapacity = 512;

    bool push(const EditEvent& event) {
        const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) >= kCapacity) return false;
        events_[tail % kCapacity] = event;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

    // The oldest edit, left in the queue; false when there is none.
    bool peek(EditEvent& event) const {
        const std::uint32_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) return false;
        event = events_[head % kCapacity];
        return true;
    }
    void pop() { head_.store(head_.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

private:
    std::array<EditEvent, kCapacity> events_{};
    std::atomic<std::uint32_t> head_{0};
    std::atomic<std::uint32_t> tail_{0};
};

}  // namespace chordwell_clap
