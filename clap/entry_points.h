// The module's entry calls, which each system's file exports as clap_entry.
#pragma once

#include "clap/clap_abi.h"

namespace chordwell_clap {

bool CLAP_CALL entryInit(const char* pluginPath);
void CLAP_CALL entryDeinit();
const void* CLAP_CALL entryFactory(const char* factoryId);

}  // namespace chordwell_clap
