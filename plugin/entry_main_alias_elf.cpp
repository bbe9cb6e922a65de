// The entry point under its second name, main, in an ELF library. A function cannot be called
// main in C++ without being the program's main, so it takes that symbol name through the
// assembler.
#include "vst/aeffect.h"

extern "C" {

AEffect* VSTPluginMain(audioMasterCallback audioMaster);

__attribute__((visibility("default"))) AEffect* vstPluginMainAlias(audioMasterCallback audioMaster) __asm__("main");
AEffect* vstPluginMainAlias(audioMasterCallback audioMaster) { return VSTPluginMain(audioMaster); }

}
