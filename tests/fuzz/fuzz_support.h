// What the fuzz targets share: an effect built as a host builds it, a settings folder of their
// own, and a reader that takes typed values off the fuzzer's bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "vst/aeffect.h"

namespace fuzz {

// Points the per-user settings at a fresh folder (under TMPDIR) removed at exit, and forgets
// DISPLAY, so that no input reaches the user's settings or an X server. Idempotent.
void isolate();

// A new effect with a host that answers the version request and nothing else; null when it
// cannot be built.
AEffect* newEffect();
void closeEffect(AEffect* effect);

// Processes one block of a little noise; the effect must be switched on.
void processBlock(AEffect* effect, int frames);

// Takes values off the input from the front; past the end every value is zero.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}

    bool empty() const { return position >= size; }
    std::size_t remaining() const { return size - position; }

    template <typename T>
    T take() {
        T value{};
        const std::size_t count = remaining() < sizeof(T) ? remaining() : sizeof(T);
        if (count > 0) std::memcpy(&value, data + position, count);
        position += count;
        return value;
    }

    // Up to `count` bytes, copied into out; answers how many there were.
    std::size_t takeBytes(void* out, std::size_t count) {
        const std::size_t got = remaining() < count ? remaining() : count;
        if (got > 0) std::memcpy(out, data + position, got);
        position += got;
        return got;
    }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
};

}  // namespace fuzz

// The entry points every fuzz target defines, as libFuzzer calls them.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
