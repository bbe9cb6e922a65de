// The module's one factory object, which lives as long as the module.
#pragma once

#include "vst3/base_interfaces.h"

namespace chordwell_vst3 {

vst3::IPluginFactory* moduleFactory();

}  // namespace chordwell_vst3
