// Linked into every test program that builds effects: gives the per-user settings store a
// sandbox of its own (a temporary folder, or a registry key standing in for HKEY_CURRENT_USER)
// before any test runs, so that no test reads or writes the real user's values.
#include "settings_sandbox.h"

namespace {

SettingsSandbox processSandbox;

}  // namespace
