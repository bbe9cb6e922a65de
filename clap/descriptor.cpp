// The plug-in as CLAP hosts list it, described from the plug-in's identity.
#include <string>

#include "clap/chordwell_plugin.h"
#include "plugin/identity.h"

namespace chordwell_clap {

namespace {

const std::string kUrl = std::string("https://") + identity::kVendorString;
const std::string kVersionText = std::to_string(identity::kVersionMajor) + "." +
                                 std::to_string(identity::kVersionMinor) + "." +
                                 std::to_string(identity::kVersionMicro);
const char* const kFeatures[] = {"audio-effect", "reverb", "stereo", nullptr};

}  // namespace

const clap::PluginDescriptor& pluginDescriptor() {
    static const clap::PluginDescriptor descriptor{
        clap::kVersion, identity::kClapId, identity::kEffectName, identity::kVendorString, kUrl.c_str(), "", "",
        kVersionText.c_str(), identity::kProductString, kFeatures};
    return descriptor;
}

}  // namespace chordwell_clap
