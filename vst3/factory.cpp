// The module's factory: who made it, and its one class, the effect.
#include "vst3/factory.h"

#include <cstring>
#include <string>

#include "plugin/identity.h"
#include "vst3/chordwell_effect.h"
#include "vst3/chordwell_ids.h"
#include "vst3/text16.h"

namespace chordwell_vst3 {

using namespace vst3;

namespace {

// Sub-category of the effect: the VST 2.4 plug-in's category, room effect.
constexpr const char* kSubCategories = "Fx|Reverb";
constexpr const char* kSdkVersion = "VST 3.7.0";
// The one class can be made by this very object only: component and controller are one.
constexpr uint32 kClassFlags = 0;

std::string versionText() {
    return std::to_string(identity::kVersionMajor) + "." + std::to_string(identity::kVersionMinor) + "." +
           std::to_string(identity::kVersionMicro);
}

class Factory final : public IPluginFactory3 {
public:
    tresult VST3_API queryInterface(const char* iid, void** obj) override {
        if (!obj) return kInvalidArgument;
        if (sameUid(iid, FUnknown::iid) || sameUid(iid, IPluginFactory::iid) || sameUid(iid, IPluginFactory2::iid) ||
            sameUid(iid, IPluginFactory3::iid)) {
            *obj = this;
            return kResultOk;
        }
        *obj = nullptr;
        return kNoInterface;
    }
    // The factory lives as long as the module: counting changes nothing.
    uint32 VST3_API addRef() override { return 1; }
    uint32 VST3_API release() override { return 1; }

    tresult VST3_API getFactoryInfo(PFactoryInfo* info) override {
        if (!info) return kInvalidArgument;
        const std::string domain = identity::kVendorString;
        copyAscii(domain, info->vendor, sizeof info->vendor);
        copyAscii("https://" + domain, info->url, sizeof info->url);
        copyAscii("support@" + domain, info->email, sizeof info->email);
        info->flags = PFactoryInfo::kUnicode;
        return kResultOk;
    }

    int32 VST3_API countClasses() override { return 1; }

    tresult VST3_API getClassInfo(int32 index, PClassInfo* info) override {
        if (index != 0 || !info) return kInvalidArgument;
        std::memset(info, 0, sizeof *info);
        std::memcpy(info->cid, kClassId.bytes, sizeof info->cid);
        info->cardinality = PClassInfo::kManyInstances;
        copyAscii(kAudioEffectClass, info->category, sizeof info->category);
        copyAscii(identity::kEffectName, info->name, sizeof info->name);
        return kResultOk;
    }

    tresult VST3_API getClassInfo2(int32 index, PClassInfo2* info) override {
        if (index != 0 || !info) return kInvalidArgument;
        std::memset(info, 0, sizeof *info);
        std::memcpy(info->cid, kClassId.bytes, sizeof info->cid);
        info->cardinality = PClassInfo::kManyInstances;
        copyAscii(kAudioEffectClass, info->category, sizeof info->category);
        copyAscii(identity::kEffectName, info->name, sizeof info->name);
        info->classFlags = kClassFlags;
        copyAscii(kSubCategories, info->subCategories, sizeof info->subCategories);
        copyAscii(identity::kVendorString, info->vendor, sizeof info->vendor);
        copyAscii(versionText(), info->version, sizeof info->version);
        copyAscii(kSdkVersion, info->sdkVersion, sizeof info->sdkVersion);
        return kResultOk;
    }

    tresult VST3_API getClassInfoUnicode(int32 index, PClassInfoW* info) override {
        if (index != 0 || !info) return kInvalidArgument;
        std::memset(info, 0, sizeof *info);
        std::memcpy(info->cid, kClassId.bytes, sizeof info->cid);
        info->cardinality = PClassInfo::kManyInstances;
        copyAscii(kAudioEffectClass, info->category, sizeof info->category);
        copyToUtf16(identity::kEffectName, info->name, std::size(info->name));
        info->classFlags = kClassFlags;
        copyAscii(kSubCategories, info->subCategories, sizeof info->subCategories);
        copyToUtf16(identity::kVendorString, info->vendor, std::size(info->vendor));
        copyToUtf16(versionText(), info->version, std::size(info->version));
        copyToUtf16(kSdkVersion, info->sdkVersion, std::size(info->sdkVersion));
        return kResultOk;
    }

    tresult VST3_API createInstance(FIDString cid, FIDString iid, void** obj) override {
        if (!obj) return kInvalidArgument;
        *obj = nullptr;
        if (!sameUid(cid, kClassId)) return kNoInterface;
        ChordwellEffect* effect = ChordwellEffect::create();
        if (!effect) return kOutOfMemory;
        const tresult result = effect->queryInterface(iid, obj);
        effect->release();  // the object now lives on the host's reference, if any
        return result;
    }

    tresult VST3_API setHostContext(FUnknown*) override { return kResultOk; }
};

}  // namespace

IPluginFactory* moduleFactory() {
    static Factory factory;
    return &factory;
}

}  // namespace chordwell_vst3
