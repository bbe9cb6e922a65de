// Running one chordwell command line: parse, find the plug-in, do the work, and turn every
// failure into one line on the error stream and an exit status.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace host {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInterrupted = 130;  // as a shell reports SIGINT

inline constexpr char kDefaultPluginFile[] = "QZA Chordwell.so";

struct HostEnvironment {
    std::filesystem::path executableDir;  // where chordwell itself lives
    std::filesystem::path installedPluginDir;  // where an install puts the plug-in beside it
    std::optional<std::filesystem::path> home;
    bool progressBar = false;  // stderr is a terminal
};

// The plug-in to load: the one given, else QZA Chordwell.so beside chordwell (a build tree),
// else where an install of chordwell puts it, else in ~/.vst. Throws CHostError when none is
// given and no default exists.
std::filesystem::path resolvePluginPath(const std::optional<std::filesystem::path>& given,
                                        const HostEnvironment& environment);

// Runs the command given by args (without the program name); answers the exit status.
int runChordwell(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const HostEnvironment& environment);

}  // namespace host
