// The module's exports on Linux: the factory, and the calls a host makes right after loading
// the library and right before unloading it, which have nothing to do here.
#include "vst3/factory.h"

#define CHORDWELL_EXPORT extern "C" __attribute__((visibility("default")))

CHORDWELL_EXPORT vst3::IPluginFactory* GetPluginFactory() { return chordwell_vst3::moduleFactory(); }

CHORDWELL_EXPORT bool ModuleEntry(void*) { return true; }

CHORDWELL_EXPORT bool ModuleExit() { return true; }
