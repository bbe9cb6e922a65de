// chordwell: a command-line VST 2.4 host that renders audio through a plug-in.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "host/cancellation.h"
#include "host/commands.h"
#include "host/screenshot.h"

int main(int argc, char** argv) {
    host::HostEnvironment environment;
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        environment.executableDir = self.parent_path();
        environment.installedPluginDir = (environment.executableDir / CHORDWELL_PLUGIN_DIR_FROM_BIN).lexically_normal();
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') environment.home = home;
    environment.progressBar = isatty(STDERR_FILENO) != 0;

    host::installCancelHandlers();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = host::runChordwell(args, std::cout, std::cerr, environment);
    host::releaseScreenshotCaches();  // the program draws nothing more
    return status;
}
