// The module's exports on Windows: the factory, called with the interface's calling convention,
// and the calls a host makes right after loading the DLL and right before unloading it, which
// have nothing to do here. The module-definition file exports them undecorated.
#include "vst3/factory.h"

extern "C" vst3::IPluginFactory* VST3_API GetPluginFactory() { return chordwell_vst3::moduleFactory(); }

extern "C" bool InitDll() { return true; }

extern "C" bool ExitDll() { return true; }
