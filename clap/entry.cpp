// The module's one export, clap_entry, and the factory of its one plug-in.
#include <cstring>

#include "clap/chordwell_plugin.h"
#include "plugin/identity.h"

#if defined(_WIN32)
#define CHORDWELL_CLAP_EXPORT extern "C"
#else
#define CHORDWELL_CLAP_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace chordwell_clap {

namespace {

std::uint32_t CLAP_CALL pluginCount(const clap::PluginFactory*) { return 1; }

const clap::PluginDescriptor* CLAP_CALL descriptorAt(const clap::PluginFactory*, std::uint32_t index) {
    return index == 0 ? &pluginDescriptor() : nullptr;
}

const clap::Plugin* CLAP_CALL createPlugin(const clap::PluginFactory*, const clap::Host* host, const char* id) {
    if (!id || std::strcmp(id, identity::kClapId) != 0) return nullptr;
    return ChordwellPlugin::create(host);
}

const clap::PluginFactory kFactory{&pluginCount, &descriptorAt, &createPlugin};

bool CLAP_CALL entryInit(const char*) { return true; }

void CLAP_CALL entryDeinit() {}

const void* CLAP_CALL entryFactory(const char* id) {
    return id && std::strcmp(id, clap::kPluginFactoryId) == 0 ? &kFactory : nullptr;
}

}  // namespace

}  // namespace chordwell_clap

CHORDWELL_CLAP_EXPORT const clap::PluginEntry clap_entry{clap::kVersion, &chordwell_clap::entryInit,
                                                        &chordwell_clap::entryDeinit, &chordwell_clap::entryFactory};
