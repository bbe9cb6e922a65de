#include "host/automation_log.h"

#include <cstdio>

#include "host/text_util.h"

namespace host {

namespace {

// Stands for a name or text that the plug-in cannot give, so the line keeps its fields.
constexpr char kNoText[] = "-";

std::string orPlaceholder(std::string text) { return text.empty() ? kNoText : text; }

}  // namespace

CAutomationLog::CAutomationLog(CPluginInstance& plugin, std::ostream& out) : plugin(plugin), out(out) {
    plugin.setAutomationListener(this);
}

CAutomationLog::~CAutomationLog() { plugin.setAutomationListener(nullptr); }

std::string CAutomationLog::line(VstInt32 index, float value) {
    char number[64];
    std::snprintf(number, sizeof number, "%.6f", static_cast<double>(value));
    std::string name;
    std::string text;
    // The plug-in calls from inside its own setParameter path; asking it for texts then is
    // what hosts do to show the new value, and it has stored the value already.
    if (index >= 0 && index < plugin.numParams()) {
        name = trimmed(plugin.parameterName(index));
        text = trimmed(trimmed(plugin.parameterDisplay(index)) + " " + trimmed(plugin.parameterLabel(index)));
    }
    return "automate " + std::to_string(index) + " " + orPlaceholder(name) + " " + number + " " + orPlaceholder(text);
}

void CAutomationLog::parameterAutomated(VstInt32 index, float value) { out << line(index, value) << std::endl; }

}  // namespace host
