// Linked into every test program that builds effects: points the per-user settings store at a
// fresh temporary folder before any test runs, so no test reads or writes the real user's.
#include <cstdlib>
#include <string>

namespace {

const bool settingsIsolated = [] {
    char folder[] = "/tmp/chordwell-test-config-XXXXXX";
    if (::mkdtemp(folder)) ::setenv("XDG_CONFIG_HOME", folder, 1);
    return true;
}();

}  // namespace
