// One instance of the VST3 plug-in as a host drives it: made through the module's factory,
// initialised, given its handler, a stereo arrangement and a stream, switched on; processed
// block by block; switched off and released when the object goes.
#pragma once

#include <stdexcept>
#include <vector>

#include "vst3/chordwell_ids.h"
#include "vst3_host_objects.h"
#include "vst3_module.h"

class Vst3Instance {
public:
    explicit Vst3Instance(Vst3Module& module, vst3::IComponentHandler* handler = nullptr,
                          vst3::FUnknown* context = nullptr) {
        void* object = nullptr;
        if (module.factory()->createInstance(chordwell_vst3::kClassId.bytes, vst3::IComponent::iid.bytes, &object) !=
                vst3::kResultOk ||
            !object)
            throw std::runtime_error("no component");
        component = static_cast<vst3::IComponent*>(object);
        component->queryInterface(vst3::IAudioProcessor::iid.bytes, reinterpret_cast<void**>(&processor));
        component->queryInterface(vst3::IEditController::iid.bytes, reinterpret_cast<void**>(&controller));
        component->queryInterface(vst3::IUnitInfo::iid.bytes, reinterpret_cast<void**>(&units));
        if (!processor || !controller || !units) throw std::runtime_error("missing interface");
        component->initialize(context);
        if (handler) controller->setComponentHandler(handler);
    }
    ~Vst3Instance() {
        if (started) {
            processor->setProcessing(0);
            component->setActive(0);
        }
        controller->setComponentHandler(nullptr);
        component->terminate();
        units->release();
        controller->release();
        processor->release();
        component->release();
    }
    Vst3Instance(const Vst3Instance&) = delete;
    Vst3Instance& operator=(const Vst3Instance&) = delete;

    void start(double sampleRate, vst3::int32 blockSize) {
        vst3::SpeakerArrangement in = vst3::kStereo, out = vst3::kStereo;
        if (processor->setBusArrangements(&in, 1, &out, 1) != vst3::kResultOk) throw std::runtime_error("arrangement");
        vst3::ProcessSetup setup{vst3::kRealtime, vst3::kSample32, blockSize, sampleRate};
        if (processor->setupProcessing(setup) != vst3::kResultOk) throw std::runtime_error("setup");
        component->setActive(1);
        processor->setProcessing(1);
        started = true;
    }

    vst3::tresult process(float* const* inputs, float* const* outputs, vst3::int32 frames, ParamChanges* changes = nullptr,
                          ParamChanges* outputChanges = nullptr) {
        vst3::AudioBusBuffers in{};
        in.numChannels = 2;
        in.channelBuffers32 = const_cast<float**>(inputs);
        vst3::AudioBusBuffers out{};
        out.numChannels = 2;
        out.channelBuffers32 = const_cast<float**>(outputs);
        vst3::ProcessData data{};
        data.processMode = vst3::kRealtime;
        data.symbolicSampleSize = vst3::kSample32;
        data.numSamples = frames;
        data.numInputs = 1;
        data.numOutputs = 1;
        data.inputs = &in;
        data.outputs = &out;
        data.inputParameterChanges = changes;
        data.outputParameterChanges = outputChanges;
        return processor->process(data);
    }

    std::vector<unsigned char> state() {
        MemoryStream stream;
        if (component->getState(&stream) != vst3::kResultOk) throw std::runtime_error("getState");
        return stream.data;
    }
    vst3::tresult setState(std::vector<unsigned char> bytes) {
        MemoryStream stream(std::move(bytes));
        return component->setState(&stream);
    }

    vst3::IComponent* component = nullptr;
    vst3::IAudioProcessor* processor = nullptr;
    vst3::IEditController* controller = nullptr;
    vst3::IUnitInfo* units = nullptr;

private:
    bool started = false;
};
