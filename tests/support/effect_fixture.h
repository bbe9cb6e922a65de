// Builds and drives one effect instance the way a host does, through its interface record.
#pragma once

#include <string>

#include "plugin/adelay.h"
#include "test_host.h"

struct EffectInstance {
    AEffect* record = nullptr;

    EffectInstance() : record(createEffectInstance(testhost::callback)) {}
    ~EffectInstance() {
        if (record) record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    }
    EffectInstance(const EffectInstance&) = delete;
    EffectInstance& operator=(const EffectInstance&) = delete;

    ADelay& effect() const { return *static_cast<ADelay*>(record->object); }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }
    void set(VstInt32 index, float value) const { record->setParameter(record, index, value); }
    float get(VstInt32 index) const { return record->getParameter(record, index); }

    std::string text(VstInt32 opcode, VstInt32 index = 0) const {
        char buffer[256];
        std::fill(buffer, buffer + sizeof(buffer), '\x7f');
        buffer[255] = 0;
        dispatch(opcode, index, 0, buffer);
        return buffer;
    }
    std::string display(VstInt32 index) const { return text(effGetParamDisplay, index); }
    std::string programName(VstInt32 index) const {
        char buffer[64] = {};
        return dispatch(effGetProgramNameIndexed, index, 0, buffer) ? std::string(buffer) : std::string("<none>");
    }
};
