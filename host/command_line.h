// The chordwell command line: its commands, their options, and the usage text.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "host/editor_session.h"
#include "host/render.h"
#include "host/screenshot.h"

namespace host {

struct HelpCommand {};

struct InfoCommand {
    std::optional<std::filesystem::path> plugin;
};

struct RenderCommand {
    std::optional<std::filesystem::path> plugin;
    RenderOptions options;  // options.plugin is filled in once the plug-in is found
};

struct PresetShowCommand {
    std::filesystem::path file;
    std::optional<std::filesystem::path> plugin;
};

struct GuiCommand {
    std::optional<std::filesystem::path> plugin;
    EditorSessionOptions options;  // options.plugin is filled in once the plug-in is found
};

struct ScreenshotCommand {
    ScreenshotOptions options;
};

using Command =
    std::variant<HelpCommand, InfoCommand, RenderCommand, PresetShowCommand, GuiCommand, ScreenshotCommand>;

// Parses the arguments after the program name. Options take their value as the next
// argument or after '=' (--block-size=256). Throws CUsageError for an unknown command or
// option, a missing or surplus argument, or an option value of the wrong form; CHostError
// for a --param value that is not a finite number.
Command parseCommandLine(const std::vector<std::string>& args);

// The commands and options, shown on a usage error and by --help.
extern const char* const kUsage;
// Examples and exit statuses, shown by --help after the usage.
extern const char* const kHelpDetails;

}  // namespace host
