// The VST3 module in a host's hands, beside the VST 2.4 library of the same plug-in: its
// factory, its sound, its state, its programs, its parameters and what it refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>

#include "dsp/parameter_laws.h"
#include "vst3/chordwell_ids.h"
#include "vst3_instance.h"
#include "vst3/id_text.h"
#include "vst3_test_support.h"

namespace {

using namespace vst3;
using chordwell_vst3::kProgramChangeId;
using chordwell_vst3::kPresetListId;

constexpr int32 kDecay = 2, kDamp = 3, kTranspose = 4, kOutput = 0, kBypass = 7;
constexpr std::size_t kChunkSize = 368;

// A VST 2.4 text without the padding that only VST 2.4 hosts expect.
std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

class Vst3Plugin : public ::testing::Test {
protected:
    Vst3Module module{kVst3Library};
};

TEST_F(Vst3Plugin, FactoryNamesItsMakerAndOneEffectClassUnderItsFixedId) {
    PFactoryInfo factory{};
    ASSERT_EQ(module.factory()->getFactoryInfo(&factory), kResultOk);
    EXPECT_STREQ(factory.vendor, "qza-tonefold.com");
    EXPECT_STREQ(factory.url, "https://qza-tonefold.com");
    EXPECT_STREQ(factory.email, "support@qza-tonefold.com");

    ASSERT_EQ(module.factory()->countClasses(), 1);
    PClassInfo info{};
    ASSERT_EQ(module.factory()->getClassInfo(0, &info), kResultOk);
    EXPECT_STREQ(info.category, "Audio Module Class");
    EXPECT_STREQ(info.name, "QZA Chordwell");
    // "VST", the unique ID and the name's first nine characters in lower case; the four words
    // spell the text, and each system lays them out its own way.
    const auto text = chordwell_vst3::classIdText();
    EXPECT_EQ(std::string_view(text.data(), text.size()), "VSTZkRwqza chord");
    const Uid expected = makeUid(0x5653545A, 0x6B527771, 0x7A612063, 0x686F7264);
    EXPECT_EQ(std::memcmp(info.cid, expected.bytes, 16), 0);

    void* factory3 = nullptr;
    ASSERT_EQ(module.factory()->queryInterface(IPluginFactory3::iid.bytes, &factory3), kResultOk);
    PClassInfoW wide{};
    ASSERT_EQ(static_cast<IPluginFactory3*>(factory3)->getClassInfoUnicode(0, &wide), kResultOk);
    EXPECT_EQ(ascii(wide.name), "QZA Chordwell");
    EXPECT_STREQ(wide.subCategories, "Fx|Reverb");

    void* object = reinterpret_cast<void*>(1);
    const Uid other = makeUid(1, 2, 3, 4);
    EXPECT_NE(module.factory()->createInstance(other.bytes, IComponent::iid.bytes, &object), kResultOk);
    EXPECT_EQ(object, nullptr);
}

// What the bundle tells hosts without loading the module (moduleinfo.json, the snapshots' file
// names) against what the module's factory answers on this system. The structure of the file
// and the pictures' sizes are checked by tests/vst3/check_bundle_resources.cmake.
TEST_F(Vst3Plugin, TheBundlesModuleInfoAndSnapshotsNameTheFactorysClass) {
    void* factory3 = nullptr;
    ASSERT_EQ(module.factory()->queryInterface(IPluginFactory3::iid.bytes, &factory3), kResultOk);
    PClassInfoW info{};
    ASSERT_EQ(static_cast<IPluginFactory3*>(factory3)->getClassInfoUnicode(0, &info), kResultOk);
    const std::string cid = idText(info.cid);

    // CHORDWELL_VST3_LIBRARY is BUNDLE/Contents/<system and processor>/<module>.
    const auto resources = std::filesystem::path(kVst3Library).parent_path().parent_path() / "Resources";
    std::ifstream in(resources / "moduleinfo.json", std::ios::binary);
    const std::string json{std::istreambuf_iterator<char>(in), {}};
    ASSERT_FALSE(json.empty()) << resources / "moduleinfo.json";
    const auto field = [](const std::string& key, const std::string& value) {
        return "\"" + key + "\": \"" + value + "\"";
    };
    EXPECT_NE(json.find(field("CID", cid)), std::string::npos) << json;
    EXPECT_NE(json.find(field("Name", ascii(info.name))), std::string::npos) << json;
    EXPECT_NE(json.find(field("Vendor", ascii(info.vendor))), std::string::npos) << json;
    EXPECT_NE(json.find(field("Version", ascii(info.version))), std::string::npos) << json;
    for (const char* suffix : {"", "_2.0x"})
        EXPECT_TRUE(std::filesystem::is_regular_file(resources / "Snapshots" / (cid + "_snapshot" + suffix + ".png")))
            << cid << suffix;
}

TEST_F(Vst3Plugin, RendersTheVst24SoundToTheBitWithChangesOnBlockStarts) {
    struct Stream {
        double rate;
        int32 block;
    };
    for (const Stream stream : {Stream{44100.0, 64}, Stream{48000.0, 512}, Stream{96000.0, 1000}}) {
        SCOPED_TRACE(stream.rate);
        auto vst2 = startedVst2(static_cast<float>(stream.rate), stream.block);
        Vst3Instance vst3(module);
        vst3.start(stream.rate, stream.block);
        Lcg random(static_cast<std::uint32_t>(stream.block));
        const int32 blocks = static_cast<int32>(stream.rate * 0.4) / stream.block;
        Stereo input(static_cast<std::size_t>(blocks * stream.block), 7);
        Stereo out2(input.left.size()), out3(input.left.size());
        for (int32 b = 0; b < blocks; ++b) {
            const auto at = static_cast<std::size_t>(b * stream.block);
            ParamChanges changes;
            if (b % 3 == 1) {
                const auto index = static_cast<int32>(random.next() % 8);
                const float value = index == kOutput ? 0.5f + 0.5f * random.unit() : random.unit();
                vst2->setParameter(index, value);
                changes.add(static_cast<ParamID>(index), 0, value);
            }
            vst2->process(input.at(at), out2.at(at), stream.block);
            ASSERT_EQ(vst3.process(input.at(at), out3.at(at), stream.block, &changes), kResultOk);
        }
        ASSERT_EQ(std::memcmp(out2.left.data(), out3.left.data(), out2.left.size() * sizeof(float)), 0);
        ASSERT_EQ(std::memcmp(out2.right.data(), out3.right.data(), out2.right.size() * sizeof(float)), 0);
    }
}

TEST_F(Vst3Plugin, AChangeInsideABlockTakesEffectAtItsOwnSample) {
    constexpr int32 kBlock = 256;
    auto vst2 = startedVst2(48000.0f, kBlock);
    Vst3Instance vst3(module);
    vst3.start(48000.0, kBlock);
    Stereo input(5 * kBlock, 3);
    Stereo out2(input.left.size()), out3(input.left.size());
    for (int32 b = 0; b < 4; ++b) {
        vst2->process(input.at(b * kBlock), out2.at(b * kBlock), kBlock);
        vst3.process(input.at(b * kBlock), out3.at(b * kBlock), kBlock);
    }
    // In the last block: Decay at sample 100, Transpose and Output at sample 180.
    const std::size_t start = 4 * kBlock;
    ParamChanges changes;
    changes.add(kDecay, 100, 0.9f);
    changes.add(kTranspose, 180, 0.75f);
    changes.add(kOutput, 180, 0.3f);
    vst3.process(input.at(start), out3.at(start), kBlock, &changes);
    vst2->process(input.at(start), out2.at(start), 100);
    vst2->setParameter(kDecay, 0.9f);
    vst2->process(input.at(start + 100), out2.at(start + 100), 80);
    vst2->setParameter(kTranspose, 0.75f);
    vst2->setParameter(kOutput, 0.3f);
    vst2->process(input.at(start + 180), out2.at(start + 180), kBlock - 180);
    EXPECT_EQ(std::memcmp(out2.left.data(), out3.left.data(), out2.left.size() * sizeof(float)), 0);
    EXPECT_EQ(std::memcmp(out2.right.data(), out3.right.data(), out2.right.size() * sizeof(float)), 0);
}

std::vector<unsigned char> vst2Chunk(host::CPluginInstance& effect) {
    void* data = nullptr;
    const auto size = static_cast<std::size_t>(effect.dispatch(effGetChunk, 0, 0, &data));
    const auto* bytes = static_cast<const unsigned char*>(data);
    return {bytes, bytes + size};
}

// The chunk with every word but the ID and the names byte-reversed, as a machine of the other
// byte order writes it.
std::vector<unsigned char> reversedChunk(std::vector<unsigned char> chunk) {
    const auto reverse = [&](std::size_t at) { std::reverse(chunk.begin() + at, chunk.begin() + at + 4); };
    for (std::size_t at : {0, 4, 8, 12, 16, 20, 24, 28}) reverse(at);
    for (std::size_t record = 0; record < 6; ++record)
        for (std::size_t value = 0; value < 8; ++value) reverse(32 + 56 * record + 24 + 4 * value);
    return chunk;
}

TEST_F(Vst3Plugin, StateIsTheVst24ChunkBothWaysAndDamagedStateChangesNothing) {
    auto vst2 = startedVst2(48000.0f, 512);
    vst2->setParameter(kDecay, 0.8f);
    char name[] = "Moved";
    vst2->dispatch(effSetProgramName, 0, 0, name);
    const std::vector<unsigned char> chunk = vst2Chunk(*vst2);
    ASSERT_EQ(chunk.size(), kChunkSize);

    Vst3Instance vst3(module);
    ASSERT_EQ(vst3.setState(chunk), kResultOk);
    EXPECT_EQ(vst3.state(), chunk);
    EXPECT_EQ(vst3.controller->getParamNormalized(kDecay), 0.8f);

    vst3.controller->setParamNormalized(kDamp, 0.6f);
    auto back = startedVst2(48000.0f, 512);
    back->dispatch(effSetChunk, 0, static_cast<VstIntPtr>(kChunkSize), vst3.state().data());
    EXPECT_EQ(back->getParameter(kDamp), 0.6f);
    EXPECT_EQ(back->text(effGetProgramName), "Moved");

    ASSERT_EQ(vst3.setState(chunk), kResultOk);
    ASSERT_EQ(vst3.setState(reversedChunk(chunk)), kResultOk);
    EXPECT_EQ(vst3.state(), chunk);

    std::vector<std::vector<unsigned char>> damaged(5, chunk);
    damaged[0].pop_back();                // short
    damaged[1].push_back(0);              // long
    damaged[2][5] ^= 0x40;                // another plug-in's ID
    damaged[3][8] = 7;                    // seven presets
    damaged[4][3] = 2;                    // an unknown format
    for (const auto& bytes : damaged) {
        EXPECT_EQ(vst3.setState(bytes), kResultFalse);
        EXPECT_EQ(vst3.state(), chunk);
    }
}

TEST_F(Vst3Plugin, TheHostsPresetMenuListsTheSixPresetsAndSelectsThem) {
    RecordingHandler handler;
    Vst3Instance vst3(module, &handler);
    auto vst2 = startedVst2(48000.0f, 512);

    ASSERT_EQ(vst3.units->getUnitCount(), 1);
    UnitInfo unit{};
    ASSERT_EQ(vst3.units->getUnitInfo(0, unit), kResultOk);
    EXPECT_EQ(unit.programListId, kPresetListId);
    ProgramListInfo list{};
    ASSERT_EQ(vst3.units->getProgramListInfo(0, list), kResultOk);
    ASSERT_EQ(list.programCount, 6);
    for (int32 p = 0; p < 6; ++p) {
        String128 name{};
        ASSERT_EQ(vst3.units->getProgramName(kPresetListId, p, name), kResultOk);
        char text[64] = {};
        vst2->dispatch(effGetProgramNameIndexed, p, 0, text);
        EXPECT_EQ(ascii(name), text);
    }

    ParameterInfo program{};
    ASSERT_EQ(vst3.controller->getParameterInfo(8, program), kResultOk);
    EXPECT_EQ(program.id, kProgramChangeId);
    EXPECT_EQ(program.flags & (ParameterInfo::kIsProgramChange | ParameterInfo::kIsList),
              ParameterInfo::kIsProgramChange | ParameterInfo::kIsList);
    EXPECT_EQ(program.stepCount, 5);
    EXPECT_EQ(program.unitId, unit.id);

    ASSERT_EQ(vst3.controller->setParamNormalized(kProgramChangeId, 3 / 5.0), kResultOk);
    EXPECT_DOUBLE_EQ(vst3.controller->getParamNormalized(kProgramChangeId), 3 / 5.0);
    EXPECT_EQ(vst3.controller->getParamNormalized(kDecay), 0.6f);  // "Low & Dark"
    // Not from inside the host's own call: hosts hold locks there that their handlers take.
    EXPECT_EQ(handler.restartFlags, 0);
    EXPECT_TRUE(handler.programListChanges.empty());
    String128 text{};
    ASSERT_EQ(vst3.controller->getParamStringByValue(kProgramChangeId, 1.0, text), kResultOk);
    EXPECT_EQ(ascii(text), "Detuned");
}

TEST_F(Vst3Plugin, ParametersShowTheVst24TextsAndReadThemBack) {
    Vst3Instance vst3(module);
    auto vst2 = startedVst2(48000.0f, 512);
    const char* titles[] = {"Output", "Mix", "Decay", "Damp", "Transpose", "Tune", "Detune", "Bypass"};
    const char* units[] = {"dB", "%", "%", "%", "st", "cents", "%", ""};
    ASSERT_EQ(vst3.controller->getParameterCount(), 9);
    for (int32 p = 0; p < 8; ++p) {
        SCOPED_TRACE(p);
        ParameterInfo info{};
        ASSERT_EQ(vst3.controller->getParameterInfo(p, info), kResultOk);
        EXPECT_EQ(info.id, static_cast<ParamID>(p));
        EXPECT_EQ(ascii(info.title), titles[p]);
        EXPECT_EQ(ascii(info.units), units[p]);
        EXPECT_EQ(info.stepCount, p == kTranspose ? 48 : p == kBypass ? 1 : 0);
        EXPECT_EQ((info.flags & ParameterInfo::kIsBypass) != 0, p == kBypass);
        EXPECT_EQ(info.defaultNormalizedValue, vst2->getParameter(p));
        for (float v : {0.0f, 0.25f, 0.5f, 0.52f, 0.75f, 1.0f}) {
            vst2->setParameter(p, v);
            String128 shown{};
            ASSERT_EQ(vst3.controller->getParamStringByValue(static_cast<ParamID>(p), v, shown), kResultOk);
            EXPECT_EQ(ascii(shown), trimmed(vst2->parameterDisplay(p))) << v;
            ParamValue read = -1.0;
            ASSERT_EQ(vst3.controller->getParamValueByString(static_cast<ParamID>(p), shown, read), kResultOk);
            String128 again{};
            vst3.controller->getParamStringByValue(static_cast<ParamID>(p), read, again);
            EXPECT_EQ(ascii(again), ascii(shown)) << v;
        }
    }
    char16_t nonsense[] = u"loud";
    ParamValue untouched = 0.5;
    EXPECT_EQ(vst3.controller->getParamValueByString(kDecay, nonsense, untouched), kResultFalse);
    EXPECT_EQ(untouched, 0.5);
}

// Anywhere within each of the engine's 49 steps, both formats show the semitone the engine
// plays, and VST3's plain value is that semitone.
TEST_F(Vst3Plugin, TransposeShowsTheSemitoneTheEnginePlaysInBothFormats) {
    Vst3Instance vst3(module);
    auto vst2 = startedVst2(48000.0f, 512);
    for (int32 step = 0; step <= 48; ++step) {
        SCOPED_TRACE(step);
        for (const double within : {-0.49, 0.0, 0.49}) {
            const float v = std::clamp(static_cast<float>((step + within) / 48.0), 0.0f, 1.0f);
            ASSERT_EQ(dsp::transposeStepLaw(v), step) << v;
            vst2->setParameter(kTranspose, v);
            const std::string shown = vst2->parameterDisplay(kTranspose);
            EXPECT_EQ(std::strtod(shown.c_str(), nullptr), step - 24) << v;
            String128 text{};
            ASSERT_EQ(vst3.controller->getParamStringByValue(kTranspose, v, text), kResultOk);
            EXPECT_EQ(ascii(text), shown);
            EXPECT_EQ(vst3.controller->normalizedParamToPlain(kTranspose, v), step - 24);
        }
        const auto back = static_cast<float>(vst3.controller->plainParamToNormalized(kTranspose, step - 24));
        EXPECT_EQ(dsp::transposeStepLaw(back), step);
    }
    const std::pair<float, const char*> texts[] = {{0.52f, "1.000000"}, {0.48f, "-1.00000"}, {0.0f, "-24.0000"},
                                                   {1.0f, "24.00000"}};
    for (const auto& [v, expected] : texts) {
        String128 text{};
        vst3.controller->getParamStringByValue(kTranspose, v, text);
        EXPECT_EQ(ascii(text), expected);
    }
}

// A number beyond a parameter's range reads as the nearer end; Transpose lands on a whole step.
TEST_F(Vst3Plugin, TextsReadBackIntoTheNormalisedRange) {
    Vst3Instance vst3(module);
    struct Case {
        int32 id;
        std::u16string text;
        double expected;
    };
    const Case cases[] = {
        {kTranspose, u"24", 1.0},      {kTranspose, u"99 st", 1.0},   {kTranspose, u"-30", 0.0},
        {kTranspose, u"3.4", 27.0 / 48}, {kDecay, u"150", 1.0},         {kDecay, u"-5 %", 0.0},
        {kTune, u"300", 1.0},          {kOutput, u"+40 dB", 1.0},     {kBypass, u"bypassed", 1.0},
    };
    for (Case c : cases) {
        ParamValue read = -1.0;
        ASSERT_EQ(vst3.controller->getParamValueByString(c.id, c.text.data(), read), kResultOk);
        EXPECT_EQ(read, static_cast<float>(c.expected)) << c.id << " " << ascii(c.text.c_str());
    }
}

TEST_F(Vst3Plugin, AcceptsOnlyOneStereoBusEachWayInThirtyTwoBitFloats) {
    Vst3Instance vst3(module);
    EXPECT_EQ(vst3.component->getBusCount(kAudio, kInput), 1);
    EXPECT_EQ(vst3.component->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(vst3.component->getBusCount(kEvent, kInput), 0);
    SpeakerArrangement mono = 1, stereo = kStereo, twoStereo[2] = {kStereo, kStereo};
    EXPECT_NE(vst3.processor->setBusArrangements(&mono, 1, &mono, 1), kResultOk);
    EXPECT_NE(vst3.processor->setBusArrangements(&stereo, 1, &mono, 1), kResultOk);
    EXPECT_NE(vst3.processor->setBusArrangements(twoStereo, 2, &stereo, 1), kResultOk);
    EXPECT_EQ(vst3.processor->setBusArrangements(&stereo, 1, &stereo, 1), kResultOk);
    EXPECT_EQ(vst3.processor->canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(vst3.processor->canProcessSampleSize(kSample64), kResultFalse);
    ProcessSetup doubles{kRealtime, kSample64, 512, 48000.0};
    EXPECT_NE(vst3.processor->setupProcessing(doubles), kResultOk);
}

TEST_F(Vst3Plugin, TheTailLastsAsLongAsDecayLetsTheStringsRing) {
    Vst3Instance vst3(module);
    vst3.start(48000.0, 512);
    const uint32 tail = vst3.processor->getTailSamples();  // Decay 0.25: about three seconds
    EXPECT_GT(tail, 48000u * 2);
    EXPECT_LT(tail, 48000u * 5);
    ParamChanges changes;
    changes.add(kDecay, 0, 0.9);
    vst3.process(nullptr, nullptr, 0, &changes);
    EXPECT_GT(vst3.processor->getTailSamples(), 4 * tail);
}

// The host's scale factor before the view is attached sizes the editor the host will make room
// for; a factor out of range is refused and changes nothing.
TEST_F(Vst3Plugin, TheViewTakesTheHostsScaleFactorBeforeItIsAttached) {
    Vst3Instance vst3(module);
    IPlugView* view = vst3.controller->createView("editor");
    ASSERT_NE(view, nullptr);
    IPlugViewContentScaleSupport* scaling = nullptr;
    ASSERT_EQ(view->queryInterface(IPlugViewContentScaleSupport::iid.bytes, reinterpret_cast<void**>(&scaling)),
              kResultOk);
    EXPECT_EQ(scaling->setContentScaleFactor(2.0f), kResultTrue);
    EXPECT_EQ(scaling->setContentScaleFactor(9.0f), kResultFalse);
    ViewRect size{};
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right - size.left, 640);
    EXPECT_EQ(size.bottom - size.top, 514);
    ViewRect asked{0, 0, 1000, 300};
    EXPECT_EQ(view->checkSizeConstraint(&asked), kResultOk);
    EXPECT_EQ(asked.right - asked.left, 640);
    EXPECT_EQ(asked.bottom - asked.top, 514);
    EXPECT_EQ(view->canResize(), kResultFalse);
    scaling->release();
    view->release();
}

}  // namespace
