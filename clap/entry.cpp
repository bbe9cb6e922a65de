// The module's entry calls and the factory of its one plug-in; each system's file exports them
// as clap_entry (entry_elf.cpp, entry_win32.cpp).
#include <cstring>

#include "clap/chordwell_plugin.h"
#include "clap/entry_points.h"
#include "plugin/identity.h"

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

}  // namespace

bool CLAP_CALL entryInit(const char*) { return true; }

void CLAP_CALL entryDeinit() {}

const void* CLAP_CALL entryFactory(const char* id) {
    return id && std::strcmp(id, clap::kPluginFactoryId) == 0 ? &kFactory : nullptr;
}

}  // namespace chordwell_clap
