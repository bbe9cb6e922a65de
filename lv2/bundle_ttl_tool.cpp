// Writes the LV2 bundle's descriptions from the plug-in's own description (identity, parameters,
// port units and ranges, factory presets): manifest.ttl, qza-chordwell.ttl and presets.ttl in the
// folder given, for the module file named. Numbers are written with nine significant digits, so
// that a host reads back exactly the float the plug-in computes for them.
//
//     chordwell_lv2_ttl BUNDLE_DIR MODULE_FILE
#include <cctype>
#include <cstdio>
#include <iterator>
#include <string>

#include "lv2/port_values.h"
#include "plugin/factory_presets.h"
#include "plugin/identity.h"

namespace {

using chordwell_lv2::PortRange;

const char* const kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n";

const std::string kUri = identity::kLv2Uri;

std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

// The preset's URI: the plug-in's, with the name in lower case, runs of other characters as '-'.
std::string presetUri(const char* name) {
    std::string slug;
    for (const char* c = name; *c; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c)))
            slug += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
        else if (!slug.empty() && slug.back() != '-')
            slug += '-';
    }
    while (!slug.empty() && slug.back() == '-') slug.pop_back();
    return kUri + "#preset-" + slug;
}

const char* unitOf(ParameterUnit unit) {
    switch (unit) {
        case ParameterUnit::decibels: return "units:db";
        case ParameterUnit::percent: return "units:pc";
        case ParameterUnit::semitones: return "units:semitone12TET";
        case ParameterUnit::cents: return "units:cent";
        case ParameterUnit::onOff: return nullptr;
    }
    return nullptr;
}

std::string manifest(const std::string& module) {
    std::string text = kPrefixes;
    text += "<" + kUri + ">\n    a lv2:Plugin ;\n    lv2:binary <" + module + "> ;\n    rdfs:seeAlso <qza-chordwell.ttl> .\n\n";
    text += "<" + kUri + "#ui>\n    a ui:X11UI ;\n    ui:binary <" + module + "> ;\n    rdfs:seeAlso <qza-chordwell.ttl> .\n";
    for (const FactoryPreset& preset : kFactoryPresets)
        text += "\n<" + presetUri(preset.name) + ">\n    a pset:Preset ;\n    lv2:appliesTo <" + kUri +
                "> ;\n    rdfs:label \"" + preset.name + "\" ;\n    rdfs:seeAlso <presets.ttl> .\n";
    return text;
}

std::string controlPort(std::int32_t index) {
    const PortRange range = chordwell_lv2::portRange(index);
    std::string text = "[\n        a lv2:InputPort , lv2:ControlPort ;\n        lv2:index " + std::to_string(index) +
                       " ;\n        lv2:symbol \"" + chordwell_lv2::portSymbol(index) + "\" ;\n        lv2:name \"" +
                       chordwell_lv2::portName(index) + "\" ;\n        lv2:default " +
                       number(chordwell_lv2::portValueOf(index, parameterDefault(index))) +
                       " ;\n        lv2:minimum " + number(range.minimum) + " ;\n        lv2:maximum " +
                       number(range.maximum);
    if (const char* unit = unitOf(kParameters[index].unit)) text += std::string(" ;\n        units:unit ") + unit;
    if (kParameters[index].unit == ParameterUnit::semitones) text += " ;\n        lv2:portProperty lv2:integer";
    if (kParameters[index].isBypass)
        text += " ;\n        lv2:portProperty lv2:toggled ;\n        lv2:designation lv2:enabled";
    return text + "\n    ]";
}

std::string audioPort(std::uint32_t index, bool input, const char* symbol, const char* name) {
    return std::string("[\n        a lv2:AudioPort , ") + (input ? "lv2:InputPort" : "lv2:OutputPort") +
           " ;\n        lv2:index " + std::to_string(index) + " ;\n        lv2:symbol \"" + symbol +
           "\" ;\n        lv2:name \"" + name + "\"\n    ]";
}

std::string plugin() {
    std::string text = kPrefixes;
    // The effect's VST 2.4 category is a room effect; a bank of ringing strings fed by the input
    // is, of LV2's classes, nearest a reverb.
    text += "<" + kUri + ">\n    a lv2:Plugin , lv2:ReverbPlugin , doap:Project ;\n    doap:name \"" + identity::kEffectName +
            "\" ;\n    doap:maintainer [\n        foaf:name \"" + identity::kVendorString +
            "\" ;\n        foaf:homepage <https://" + identity::kVendorString + "/> ;\n        foaf:mbox <mailto:support@" +
            identity::kVendorString + ">\n    ] ;\n" +
            "    lv2:minorVersion " + std::to_string(identity::kVersionMinor) + " ;\n    lv2:microVersion " +
            std::to_string(identity::kVersionMicro) +
            " ;\n    lv2:optionalFeature lv2:hardRTCapable , urid:map , opts:options ;\n" +
            "    lv2:extensionData state:interface , opts:interface ;\n" +
            "    opts:supportedOption bufsz:nominalBlockLength ;\n    ui:ui <" + kUri + "#ui> ;\n    lv2:port ";
    for (std::int32_t p = 0; p < kNumParams; ++p) text += controlPort(p) + " , ";
    text += audioPort(chordwell_lv2::kAudioInLeft, true, "in_l", "Left In") + " , " +
            audioPort(chordwell_lv2::kAudioInRight, true, "in_r", "Right In") + " , " +
            audioPort(chordwell_lv2::kAudioOutLeft, false, "out_l", "Left Out") + " , " +
            audioPort(chordwell_lv2::kAudioOutRight, false, "out_r", "Right Out") + " .\n\n";
    // The editor reaches the bank of the DSP instance it shows through instance-access.
    text += "<" + kUri + "#ui>\n    a ui:X11UI ;\n" +
            "    lv2:requiredFeature ui:idleInterface , ui:parent , <http://lv2plug.in/ns/ext/instance-access> , urid:map ;\n" +
            "    lv2:optionalFeature ui:resize , ui:touch , opts:options ;\n" +
            "    lv2:extensionData ui:idleInterface ;\n    opts:supportedOption ui:scaleFactor .\n";
    return text;
}

std::string presets() {
    std::string text = kPrefixes;
    // Each names, as its state, the bank's preset it stands for, which it makes current.
    text += "<" + kUri + "#preset>\n    a rdf:Property ;\n    rdfs:label \"bank preset\" ;\n" +
            "    rdfs:comment \"The number of the preset of the plug-in's bank that a preset stands for.\" ;\n" +
            "    rdfs:range xsd:integer .\n\n";
    for (std::size_t i = 0; i < std::size(kFactoryPresets); ++i) {
        const FactoryPreset& preset = kFactoryPresets[i];
        text += "<" + presetUri(preset.name) + ">\n    a pset:Preset ;\n    lv2:appliesTo <" + kUri +
                "> ;\n    rdfs:label \"" + preset.name + "\" ;\n    state:state [\n        <" + kUri + "#preset> " +
                std::to_string(i) + "\n    ] ;\n    lv2:port ";
        for (std::int32_t p = 0; p < kNumParams; ++p)
            text += std::string(p ? " , " : "") + "[\n        lv2:symbol \"" + chordwell_lv2::portSymbol(p) +
                    "\" ;\n        pset:value " + number(chordwell_lv2::portValueOf(p, preset.values[p])) + "\n    ]";
        text += " .\n\n";
    }
    return text;
}

bool write(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s BUNDLE_DIR MODULE_FILE\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const std::string module = argv[2];
    if (!write(dir + "/manifest.ttl", manifest(module)) || !write(dir + "/qza-chordwell.ttl", plugin()) ||
        !write(dir + "/presets.ttl", presets())) {
        std::fprintf(stderr, "%s: cannot write the descriptions in %s\n", argv[0], dir.c_str());
        return 1;
    }
    return 0;
}
