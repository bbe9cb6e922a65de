// Writes each parameter change a plug-in reports (audioMasterAutomate) as one line, so that
// a user, or a test, can follow what is done in the plug-in's editor:
//   automate <index> <name> <value, 6 decimals> <value text>
#pragma once

#include <ostream>
#include <string>

#include "host/host_callback.h"
#include "host/plugin_instance.h"

namespace host {

class CAutomationLog : public CAutomationListener {
public:
    // Reports the plug-in's changes to `out` from now until it is destroyed.
    CAutomationLog(CPluginInstance& plugin, std::ostream& out);
    ~CAutomationLog();
    CAutomationLog(const CAutomationLog&) = delete;
    CAutomationLog& operator=(const CAutomationLog&) = delete;

    // Writes the line and flushes it: a reader at the other end of a pipe sees it at once.
    void parameterAutomated(VstInt32 index, float value) override;

    // The line for a change, without its newline. The name and the value text are the
    // plug-in's, padding trimmed; the text is the display with its label, as info shows them.
    std::string line(VstInt32 index, float value);

private:
    CPluginInstance& plugin;
    std::ostream& out;
};

}  // namespace host
