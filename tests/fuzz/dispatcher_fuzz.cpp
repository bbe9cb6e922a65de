// Random sequences of host requests with valid buffers: every dispatcher opcode (but
// effClose, which ends the effect), parameter changes and reads, processing, and the editor
// opened without a window, in any order and with any arguments a host could pass.
//
// Input: steps of one byte choosing the request, one byte of index, two bytes of value, four
// bytes of float argument, one byte of buffer length and that many bytes, which fill the
// start of the request's buffer.
#include <array>
#include <cstdlib>
#include <cstring>

#include "fuzz_support.h"
#include "gui/aeffguieditor.h"
#include "gui/drawing_backend.h"
#include "plugin/adelay.h"

namespace {

// Requests beyond the dispatcher's opcodes.
constexpr int kNumOpcodes = 80;
enum Extra { setParameter = kNumOpcodes, getParameter, process, openOffscreen, kNumRequests };

constexpr std::size_t kBufferSize = 1024;  // more than any request of the interface writes

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::isolate();
    // The editor draws text: the font library's caches are given back at the end, so that the
    // leak check sees only what the inputs left behind.
    std::atexit(releaseDrawingCaches);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    AEffect* effect = fuzz::newEffect();
    if (!effect) return 0;
    auto* editor = static_cast<AEffGUIEditor*>(static_cast<AudioEffect*>(effect->object)->getEditor());

    fuzz::ByteReader reader(data, size);
    alignas(16) std::array<unsigned char, kBufferSize> buffer{};
    alignas(16) std::array<unsigned char, kBufferSize> second{};
    while (!reader.empty()) {
        const int request = reader.take<std::uint8_t>() % kNumRequests;
        const auto index = static_cast<VstInt32>(reader.take<std::int8_t>());
        VstIntPtr value = reader.take<std::int16_t>();
        const float opt = reader.take<float>();
        buffer.fill(0);
        const std::size_t given = reader.takeBytes(buffer.data(), reader.take<std::uint8_t>());
        // Texts handed to the effect end inside the buffer.
        buffer.back() = 0;

        switch (request) {
            case effClose:
                break;
            case effSetChunk:
                // The chunk is as long as the bytes given.
                effect->dispatcher(effect, request, index, static_cast<VstIntPtr>(given), buffer.data(), opt);
                break;
            case effSetSpeakerArrangement:
            case effGetSpeakerArrangement:
                // These two take a second pointer in value.
                effect->dispatcher(effect, request, index, reinterpret_cast<VstIntPtr>(second.data()), buffer.data(),
                                   opt);
                break;
            case effEditOpen:
                // A null parent: no window system is reachable here anyway.
                effect->dispatcher(effect, request, index, value, nullptr, opt);
                break;
            case setParameter:
                effect->setParameter(effect, index, opt);
                break;
            case getParameter:
                effect->getParameter(effect, index);
                break;
            case process:
                fuzz::processBlock(effect, static_cast<int>(static_cast<std::uint16_t>(value) % 1024) + 1);
                break;
            case openOffscreen:
                if (editor) editor->openOffscreen();
                break;
            default:
                effect->dispatcher(effect, request, index, value, buffer.data(), opt);
                break;
        }
    }
    fuzz::closeEffect(effect);
    return 0;
}
