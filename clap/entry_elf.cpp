// The module's one export on Linux; the version script hides every other symbol.
#include "clap/entry_points.h"

extern "C" __attribute__((visibility("default"))) const clap::PluginEntry clap_entry{
    clap::kVersion, &chordwell_clap::entryInit, &chordwell_clap::entryDeinit, &chordwell_clap::entryFactory};
