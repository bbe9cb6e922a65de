// What the LV2 tests need of a host: a URID map, and the module loaded as hosts load it.
#pragma once

#include <dlfcn.h>

#include <map>
#include <string>

#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

class UridMap {
public:
    LV2_URID map(const char* uri) {
        auto [it, added] = ids_.try_emplace(uri, static_cast<LV2_URID>(ids_.size() + 1));
        return it->second;
    }
    static LV2_URID callback(LV2_URID_Map_Handle handle, const char* uri) { return static_cast<UridMap*>(handle)->map(uri); }

private:
    std::map<std::string, LV2_URID> ids_;
};

class Module {
public:
    Module() : library_(dlopen(CHORDWELL_LV2_MODULE, RTLD_NOW | RTLD_LOCAL)) {
        if (!library_) return;
        auto entry = reinterpret_cast<const LV2_Descriptor* (*)(std::uint32_t)>(dlsym(library_, "lv2_descriptor"));
        descriptor_ = entry ? entry(0) : nullptr;
        auto uiEntry = reinterpret_cast<const void* (*)(std::uint32_t)>(dlsym(library_, "lv2ui_descriptor"));
        uiDescriptor_ = uiEntry ? uiEntry(0) : nullptr;
    }
    ~Module() {
        if (library_) dlclose(library_);
    }
    const LV2_Descriptor* descriptor() const { return descriptor_; }
    // The UI's descriptor, as the untyped pointer lv2ui_descriptor returns.
    const void* uiDescriptor() const { return uiDescriptor_; }

private:
    void* library_;
    const LV2_Descriptor* descriptor_ = nullptr;
    const void* uiDescriptor_ = nullptr;
};
