// The LV2 module as a host drives it, loaded as a host loads it: its output against the VST 2.4
// effect's over the same blocks (factory presets, port changes between runs, 0-sample runs,
// ports connected anew between runs), and its state against damaged blobs and the VST chunk.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include "lv2/port_values.h"
#include "lv2_host.h"
#include "plugin/adelay.h"
#include "plugin/factory_presets.h"
#include "plugin/identity.h"
#include "presets/bank_chunk.h"

using namespace chordwell_lv2;

namespace {

constexpr double kRate = 44100.0;
// Block lengths of one pass, 0-sample runs among them.
constexpr std::uint32_t kBlocks[] = {64, 0, 37, 128, 0, 1, 300, 511};

VstIntPtr quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// One instance with a URID map, its control ports held here in user units.
class Instance {
public:
    explicit Instance(const LV2_Descriptor* d) : d_(d) {
        mapFeature_ = {LV2_URID__map, &mapData_};
        handle_ = d_->instantiate(d_, kRate, "", features_);
        for (std::int32_t p = 0; p < kNumParams; ++p) {
            ports[p] = portValueOf(p, parameterDefault(p));
            d_->connect_port(handle_, static_cast<std::uint32_t>(p), &ports[p]);
        }
        chunkType = map.map(LV2_ATOM__Chunk);
        const auto* state = static_cast<const LV2_State_Interface*>(d_->extension_data(LV2_STATE__interface));
        state_ = state;
    }
    ~Instance() {
        if (handle_) d_->cleanup(handle_);
    }
    bool valid() const { return handle_ && state_; }
    void activate() { d_->activate(handle_); }
    // Runs `frames` samples from in to out, the audio ports connected to these buffers first.
    void run(const float* inL, const float* inR, float* outL, float* outR, std::uint32_t frames) {
        d_->connect_port(handle_, kAudioInLeft, const_cast<float*>(inL));
        d_->connect_port(handle_, kAudioInRight, const_cast<float*>(inR));
        d_->connect_port(handle_, kAudioOutLeft, outL);
        d_->connect_port(handle_, kAudioOutRight, outR);
        d_->run(handle_, frames);
    }

    // The host's options interface: a new nominal block length, as a host gives before a bounce.
    void setNominalBlockLength(std::int32_t length) {
        const auto* options = static_cast<const LV2_Options_Interface*>(d_->extension_data(LV2_OPTIONS__interface));
        ASSERT_NE(options, nullptr);
        const LV2_Options_Option list[] = {
            {LV2_OPTIONS_INSTANCE, 0, map.map(LV2_BUF_SIZE__nominalBlockLength), sizeof length, map.map(LV2_ATOM__Int),
             &length},
            {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
        EXPECT_EQ(options->set(handle_, list), LV2_OPTIONS_SUCCESS);
    }

    struct Blob {
        LV2_URID key = 0;
        std::vector<unsigned char> bytes;
        std::uint32_t type = 0;
    };
    Blob save() {
        Blob blob;
        state_->save(handle_, &Instance::store, &blob, LV2_STATE_IS_POD, nullptr);
        return blob;
    }
    LV2_State_Status restore(const Blob& blob) {
        Blob copy = blob;
        return state_->restore(handle_, &Instance::retrieve, &copy, 0, nullptr);
    }

    float ports[kNumParams] = {};
    UridMap map;
    LV2_URID chunkType = 0;

private:
    static LV2_State_Status store(LV2_State_Handle h, std::uint32_t key, const void* value, std::size_t size,
                                  std::uint32_t type, std::uint32_t) {
        auto* blob = static_cast<Blob*>(h);
        blob->key = key;
        blob->bytes.assign(static_cast<const unsigned char*>(value), static_cast<const unsigned char*>(value) + size);
        blob->type = type;
        return LV2_STATE_SUCCESS;
    }
    static const void* retrieve(LV2_State_Handle h, std::uint32_t key, std::size_t* size, std::uint32_t* type,
                                std::uint32_t* flags) {
        auto* blob = static_cast<Blob*>(h);
        if (key != blob->key) return nullptr;
        *size = blob->bytes.size();
        *type = blob->type;
        *flags = LV2_STATE_IS_POD;
        return blob->bytes.data();
    }

    const LV2_Descriptor* d_;
    LV2_URID_Map mapData_{&map, &UridMap::callback};
    LV2_Feature mapFeature_{};
    const LV2_Feature* features_[2] = {&mapFeature_, nullptr};
    LV2_Handle handle_ = nullptr;
    const LV2_State_Interface* state_ = nullptr;
};

// Plucks and a little noise, the same for every run.
std::vector<float> excitation(std::size_t frames, unsigned seed) {
    std::vector<float> samples(frames);
    unsigned state = seed;
    for (std::size_t i = 0; i < frames; ++i) {
        state = state * 1664525u + 1013904223u;
        samples[i] = (i % 700 == 0 ? 0.8f : 0.0f) + static_cast<float>(state >> 8) / 16777216.0f * 0.02f - 0.01f;
    }
    return samples;
}

// A parameter change between two runs: in user units for the LV2 port, at the start of a block.
struct Change {
    std::size_t block;
    std::int32_t index;
    float port;
};

// Renders the same blocks through the LV2 module and through the VST 2.4 effect with the values
// the ports map to, and counts the samples that differ in their bits.
int differingSamples(const LV2_Descriptor* d, const float (&values)[kNumParams], const std::vector<Change>& changes,
                     int passes) {
    std::size_t total = 0;
    for (int pass = 0; pass < passes; ++pass)
        for (std::uint32_t b : kBlocks) total += b;
    const std::vector<float> inL = excitation(total, 1), inR = excitation(total, 2);

    Instance lv2(d);
    if (!lv2.valid()) return -1;
    for (std::int32_t p = 0; p < kNumParams; ++p) lv2.ports[p] = portValueOf(p, values[p]);
    lv2.activate();

    AEffect* record = createEffectInstance(quietHost);
    auto* vst = static_cast<ADelay*>(static_cast<AudioEffect*>(record->object));
    vst->setSampleRate(static_cast<float>(kRate));
    for (std::int32_t p = 0; p < kNumParams; ++p) vst->setParameter(p, values[p]);
    vst->resume();

    int differing = 0;
    std::size_t position = 0, block = 0;
    for (int pass = 0; pass < passes; ++pass)
        for (std::uint32_t frames : kBlocks) {
            for (const Change& c : changes)
                if (c.block == block) {
                    lv2.ports[c.index] = c.port;
                    vst->setParameter(c.index, normalisedOfPort(c.index, c.port));
                }
            ++block;
            // Fresh buffers every run: the host may connect the ports anew between any two.
            std::vector<float> lv2L(frames + 1), lv2R(frames + 1), vstL(frames + 1), vstR(frames + 1);
            lv2.run(inL.data() + position, inR.data() + position, lv2L.data(), lv2R.data(), frames);
            float* ins[2] = {const_cast<float*>(inL.data() + position), const_cast<float*>(inR.data() + position)};
            float* outs[2] = {vstL.data(), vstR.data()};
            vst->processReplacing(ins, outs, static_cast<VstInt32>(frames));
            for (std::uint32_t i = 0; i < frames; ++i)
                differing += (std::bit_cast<std::uint32_t>(lv2L[i]) != std::bit_cast<std::uint32_t>(vstL[i])) +
                             (std::bit_cast<std::uint32_t>(lv2R[i]) != std::bit_cast<std::uint32_t>(vstR[i]));
            position += frames;
        }
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    return differing;
}

class LV2Module : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(module.descriptor(), nullptr) << dlerror(); }
    Module module;
};

}  // namespace

TEST_F(LV2Module, EachFactoryPresetSoundsAsInTheVst24Effect) {
    for (const FactoryPreset& preset : kFactoryPresets)
        EXPECT_EQ(differingSamples(module.descriptor(), preset.values, {}, 3), 0) << preset.name;
}

// Changes reach the engine at the start of the run that sees them, not a run later and not
// only when the run is long enough to process anything.
TEST_F(LV2Module, PortChangesApplyAtTheStartOfTheRunThatSeesThem) {
    const std::vector<Change> changes = {
        {2, kDecay, 73.5f}, {3, kTranspose, 7.0f}, {5, kTune, -31.25f}, {6, kOutput, -6.5f},
        {9, kDetune, 40.0f}, {10, kBypass, 0.0f},   {13, kBypass, 1.0f}, {14, kDamp, 61.0f},
    };
    EXPECT_EQ(differingSamples(module.descriptor(), kFactoryPresets[0].values, changes, 3), 0);
}

// A host gives a new nominal block length only between runs, as before a bounce; the VST formats
// are switched off and on for it, so the LV2 instance's next run starts afresh as theirs do: the
// bounce then sounds as a render from the start.
TEST_F(LV2Module, ANewNominalBlockLengthStartsTheNextRunAfresh) {
    constexpr std::uint32_t kFrames = 4096;
    const std::vector<float> input = excitation(kFrames, 11);
    std::vector<float> left(kFrames), right(kFrames), freshLeft(kFrames), freshRight(kFrames);
    Instance used(module.descriptor());
    Instance fresh(module.descriptor());
    ASSERT_TRUE(used.valid() && fresh.valid());
    used.activate();
    fresh.activate();
    used.run(input.data(), input.data(), left.data(), right.data(), kFrames);  // the strings ring
    used.setNominalBlockLength(8192);
    used.run(input.data(), input.data(), left.data(), right.data(), kFrames);
    fresh.run(input.data(), input.data(), freshLeft.data(), freshRight.data(), kFrames);
    EXPECT_EQ(std::memcmp(left.data(), freshLeft.data(), kFrames * sizeof(float)), 0);
    EXPECT_EQ(std::memcmp(right.data(), freshRight.data(), kFrames * sizeof(float)), 0);
}

TEST_F(LV2Module, StateRestoresTheBankAndRefusesDamagedBlobs) {
    Instance first(module.descriptor());
    ASSERT_TRUE(first.valid());
    first.activate();
    first.ports[kDecay] = 80.0f;  // the current preset's Decay, recorded in the bank
    first.run(nullptr, nullptr, nullptr, nullptr, 0);
    const Instance::Blob saved = first.save();
    ASSERT_EQ(saved.type, first.chunkType);

    Instance second(module.descriptor());
    ASSERT_TRUE(second.valid());
    const Instance::Blob before = second.save();
    ASSERT_NE(before.bytes, saved.bytes);

    struct Damage {
        const char* what;
        void (*apply)(Instance::Blob&, LV2_URID chunkType);
    } const damages[] = {
        {"one byte short", [](Instance::Blob& b, LV2_URID) { b.bytes.pop_back(); }},
        {"one byte long", [](Instance::Blob& b, LV2_URID) { b.bytes.push_back(0); }},
        {"empty", [](Instance::Blob& b, LV2_URID) { b.bytes.clear(); }},
        {"first byte changed", [](Instance::Blob& b, LV2_URID) { b.bytes[0] ^= 0x40; }},
        {"not a chunk", [](Instance::Blob& b, LV2_URID chunk) { b.type = chunk + 1000; }},
    };
    for (const Damage& damage : damages) {
        Instance::Blob blob = saved;
        damage.apply(blob, second.chunkType);
        EXPECT_NE(second.restore(blob), LV2_STATE_SUCCESS) << damage.what;
        EXPECT_EQ(second.save().bytes, before.bytes) << damage.what << " changed the bank";
    }
    EXPECT_EQ(second.restore(saved), LV2_STATE_SUCCESS);
    EXPECT_EQ(second.save().bytes, saved.bytes);
}

// A preset chosen in the host's menu restores a state naming the bank's preset it stands for,
// then sets the ports to its values: that preset becomes current, as in the preset bar, and no
// other preset of the bank changes. A number outside the bank changes nothing.
TEST_F(LV2Module, AHostsPresetMakesItsBankPresetCurrentAndChangesNoOther) {
    struct Bank {
        PresetRecord records[kNumPresets];
        std::int32_t current = -1;
    };
    const auto bankOf = [](const Instance::Blob& blob) {
        Bank bank;
        EXPECT_EQ(readBankChunk(blob.bytes.data(), static_cast<std::int32_t>(blob.bytes.size()), identity::kUniqueId,
                                bank.records, bank.current),
                  ChunkResult::ok);
        return bank;
    };
    for (const std::int32_t index : {0, 1, 2, 3, 4, 5, -1, 6}) {
        Instance instance(module.descriptor());
        ASSERT_TRUE(instance.valid());
        const Bank before = bankOf(instance.save());
        Instance::Blob preset;
        preset.key = instance.map.map((std::string(identity::kLv2Uri) + "#preset").c_str());
        preset.type = instance.map.map(LV2_ATOM__Int);
        preset.bytes.resize(sizeof index);
        std::memcpy(preset.bytes.data(), &index, sizeof index);
        const bool inBank = index >= 0 && index < kNumPresets;
        EXPECT_EQ(instance.restore(preset) == LV2_STATE_SUCCESS, inBank) << index;
        if (inBank)
            for (std::int32_t p = 0; p < kNumParams; ++p) instance.ports[p] = portValueOf(p, kFactoryPresets[index].values[p]);
        instance.run(nullptr, nullptr, nullptr, nullptr, 0);
        const Bank after = bankOf(instance.save());
        EXPECT_EQ(after.current, inBank ? index : before.current) << index;
        EXPECT_EQ(std::memcmp(after.records, before.records, sizeof before.records), 0) << index;
    }
}

// The LV2 state is the VST chunk: a bank saved by one format loads into the other.
TEST_F(LV2Module, StateMovesBetweenLv2AndTheVst24Effect) {
    Instance lv2(module.descriptor());
    ASSERT_TRUE(lv2.valid());
    lv2.ports[kDamp] = 12.0f;
    lv2.run(nullptr, nullptr, nullptr, nullptr, 0);
    const Instance::Blob blob = lv2.save();

    AEffect* record = createEffectInstance(quietHost);
    record->dispatcher(record, effSetChunk, 0, static_cast<VstIntPtr>(blob.bytes.size()),
                       const_cast<unsigned char*>(blob.bytes.data()), 0.0f);
    void* data = nullptr;
    const VstIntPtr size = record->dispatcher(record, effGetChunk, 0, 0, &data, 0.0f);
    ASSERT_EQ(static_cast<std::size_t>(size), blob.bytes.size());
    EXPECT_EQ(std::memcmp(data, blob.bytes.data(), blob.bytes.size()), 0);

    // And back: a bank of the VST effect with another Decay restores into the LV2 instance.
    record->setParameter(record, kDecay, 0.9f);
    const VstIntPtr vstSize = record->dispatcher(record, effGetChunk, 0, 0, &data, 0.0f);
    Instance::Blob fromVst = blob;
    fromVst.bytes.assign(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + vstSize);
    EXPECT_EQ(lv2.restore(fromVst), LV2_STATE_SUCCESS);
    EXPECT_EQ(lv2.save().bytes, fromVst.bytes);
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
}
