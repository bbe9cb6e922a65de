// The module's one export on Windows; the module-definition file exports it undecorated.
#include "clap/entry_points.h"

extern "C" const clap::PluginEntry clap_entry{clap::kVersion, &chordwell_clap::entryInit, &chordwell_clap::entryDeinit,
                                             &chordwell_clap::entryFactory};
