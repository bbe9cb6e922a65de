#include "host/command_line.h"

#include <cmath>
#include <string_view>

#include "gui/pixel_scale.h"
#include "host/audio_file.h"
#include "host/host_error.h"
#include "host/text_util.h"

namespace host {

const char* const kUsage =
    "usage:\n"
    "  chordwell info [PLUGIN]\n"
    "  chordwell render [IN] OUT [options]\n"
    "  chordwell preset show FILE [--plugin PATH]\n"
    "  chordwell gui [PLUGIN] [--preset NAME|INDEX] [--param NAME=VALUE ...] [--seconds N] [--scale PERCENT]\n"
    "  chordwell screenshot OUT.png [--preset NAME|INDEX] [--param NAME=VALUE ...] [--scale PERCENT]\n"
    "  chordwell help | --help | -h\n"
    "\n"
    "render options:\n"
    "  --plugin PATH         the VST 2.4 plug-in (default: QZA Chordwell.so beside chordwell,\n"
    "                        else where it is installed with chordwell, else in ~/.vst)\n"
    "  --block-size N        frames per processing call (default 512)\n"
    "  --preset NAME|INDEX   a program as listed by info (names in any case)\n"
    "  --param NAME=VALUE    set a parameter (name as listed by info, or its index) to a\n"
    "                        normalised value; repeatable\n"
    "  --tail SECONDS        keep processing silence after the input ends\n"
    "  --preset-file X.qza   apply a QZA Chordwell preset file\n"
    "  --bank-file X.qzb     load a QZA Chordwell bank file\n"
    "  --rate HZ             sample rate of the built-in excitation (default 44100)\n"
    "Without IN, a built-in stereo excitation is rendered. OUT's extension picks the format:\n"
    ".wav (32-bit float), .flac (24-bit), .aif/.aiff (24-bit). Applied in the order\n"
    "--bank-file, --preset, --preset-file, --param.\n"
    "\n"
    "gui shows the plug-in's editor in a window of its own (it needs an X server) until the\n"
    "window is closed, Ctrl-C, or --seconds N have passed, and prints each parameter change\n"
    "made in it as \"automate INDEX NAME VALUE TEXT\". screenshot draws QZA Chordwell's\n"
    "editor into a PNG file, with no X server. Both take --preset and --param as render does.\n"
    "--scale PERCENT shows the editor at a screen scale (100, 125, 150, 175, 200, 250, 300): gui\n"
    "tells the plug-in as hosts do (a size the user chose in the editor's menu still wins),\n"
    "screenshot draws at that scale (default 100).\n";

const char* const kHelpDetails =
    "\n"
    "examples:\n"
    "  chordwell info\n"
    "  chordwell render in.wav out.wav --preset High --param Mix=0.5 --tail 4\n"
    "  chordwell render out.flac\n"
    "  chordwell render in.wav out.wav --bank-file mine.qzb --preset 3\n"
    "  chordwell preset show mine.qza\n"
    "  chordwell gui --preset High --seconds 60\n"
    "  chordwell screenshot editor.png --param Bypass=1\n"
    "  chordwell screenshot editor-200.png --scale 200\n"
    "\n"
    "exit status:\n"
    "  0    success\n"
    "  1    an error, such as a file that cannot be read or written or a plug-in that\n"
    "       cannot be loaded\n"
    "  2    usage error: an unknown command or option, or a missing or malformed value\n"
    "  130  a render interrupted by SIGINT or SIGTERM; nothing was written\n"
    "\n"
    "The manual page chordwell(1) says more.\n";

namespace {

// Walks the arguments, handing out option values given either way.
class CArgumentReader {
public:
    explicit CArgumentReader(const std::vector<std::string>& args) : args(args) {}

    bool done() const { return position >= args.size(); }
    const std::string& next() { return args[position++]; }

    // The value of an option: after '=' in the same argument, else the next argument.
    std::string value(const std::string& option, const std::optional<std::string>& inlineValue) {
        if (inlineValue) return *inlineValue;
        if (done()) throw CUsageError(option + " needs a value");
        return next();
    }

private:
    const std::vector<std::string>& args;
    std::size_t position = 0;
};

bool isOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

// "--name=value" -> ("--name", "value"); "--name" -> ("--name", nothing).
std::pair<std::string, std::optional<std::string>> splitOption(const std::string& arg) {
    const std::size_t equals = arg.find('=');
    if (equals == std::string::npos) return {arg, std::nullopt};
    return {arg.substr(0, equals), arg.substr(equals + 1)};
}

template <typename T>
void setOnce(std::optional<T>& slot, T value, const std::string& option) {
    if (slot) throw CUsageError(option + " given twice");
    slot = std::move(value);
}

VstInt32 parseBlockSize(const std::string& text) {
    const auto value = parseIndex(text);
    if (!value || *value < 1 || *value > kMaxBlockSize)
        throw CUsageError("--block-size expects a whole number from 1 to " + std::to_string(kMaxBlockSize) +
                          ", got \"" + text + "\"");
    return static_cast<VstInt32>(*value);
}

double parseTail(const std::string& text) {
    const auto value = parseFiniteDouble(text);
    if (!value || *value < 0.0 || *value > kMaxTailSeconds)
        throw CUsageError("--tail expects seconds from 0 to " + std::to_string(static_cast<int>(kMaxTailSeconds)) +
                          ", got \"" + text + "\"");
    return *value;
}

double parseRate(const std::string& text) {
    const auto value = parseIndex(text);
    if (!value || *value < kMinSampleRate || *value > kMaxSampleRate)
        throw CUsageError("--rate expects a whole number of Hz from " + std::to_string(static_cast<int>(kMinSampleRate)) +
                          " to " + std::to_string(static_cast<int>(kMaxSampleRate)) + ", got \"" + text + "\"");
    return static_cast<double>(*value);
}

RenderCommand parseRender(CArgumentReader& reader) {
    RenderCommand command;
    RenderOptions& options = command.options;
    std::vector<std::string> positional;
    std::optional<VstInt32> blockSize;
    std::optional<double> tail;
    while (!reader.done()) {
        const std::string arg = reader.next();
        if (!isOption(arg)) {
            positional.push_back(arg);
            continue;
        }
        const auto [option, inlineValue] = splitOption(arg);
        if (option == "--plugin") {
            setOnce(command.plugin, std::filesystem::path(reader.value(option, inlineValue)), option);
        } else if (option == "--block-size") {
            setOnce(blockSize, parseBlockSize(reader.value(option, inlineValue)), option);
        } else if (option == "--preset") {
            setOnce(options.preset, reader.value(option, inlineValue), option);
        } else if (option == "--param") {
            options.parameters.push_back(parseParameterSetting(reader.value(option, inlineValue)));
        } else if (option == "--tail") {
            setOnce(tail, parseTail(reader.value(option, inlineValue)), option);
        } else if (option == "--preset-file") {
            setOnce(options.presetFile, std::filesystem::path(reader.value(option, inlineValue)), option);
        } else if (option == "--bank-file") {
            setOnce(options.bankFile, std::filesystem::path(reader.value(option, inlineValue)), option);
        } else if (option == "--rate") {
            setOnce(options.excitationRate, parseRate(reader.value(option, inlineValue)), option);
        } else {
            throw CUsageError("unknown option for render: " + option);
        }
    }
    if (positional.empty()) throw CUsageError("render needs an output file");
    if (positional.size() > 2) throw CUsageError("render takes at most an input and an output file");
    if (positional.size() == 2) options.input = positional[0];
    options.output = positional.back();
    outputFormatForPath(options.output);  // an output chordwell cannot write is a usage error, found first
    if (options.input && options.excitationRate)
        throw CUsageError("--rate is only for the built-in excitation; an input file plays at its own rate");
    options.blockSize = blockSize.value_or(kDefaultBlockSize);
    options.tailSeconds = tail.value_or(0.0);
    return command;
}

InfoCommand parseInfo(CArgumentReader& reader) {
    InfoCommand command;
    while (!reader.done()) {
        const std::string arg = reader.next();
        if (isOption(arg)) {
            const auto [option, inlineValue] = splitOption(arg);
            if (option != "--plugin") throw CUsageError("unknown option for info: " + option);
            setOnce(command.plugin, std::filesystem::path(reader.value(option, inlineValue)), option);
        } else {
            setOnce(command.plugin, std::filesystem::path(arg), "the plug-in");
        }
    }
    return command;
}

PresetShowCommand parsePresetShow(CArgumentReader& reader) {
    std::optional<std::filesystem::path> file;
    PresetShowCommand command;
    while (!reader.done()) {
        const std::string arg = reader.next();
        if (isOption(arg)) {
            const auto [option, inlineValue] = splitOption(arg);
            if (option != "--plugin") throw CUsageError("unknown option for preset show: " + option);
            setOnce(command.plugin, std::filesystem::path(reader.value(option, inlineValue)), option);
        } else {
            setOnce(file, std::filesystem::path(arg), "the preset file");
        }
    }
    if (!file) throw CUsageError("preset show needs a preset or bank file");
    command.file = *file;
    return command;
}

double parseSeconds(const std::string& text) {
    const auto value = parseFiniteDouble(text);
    if (!value || *value < 0.0 || *value > kMaxEditorSeconds)
        throw CUsageError("--seconds expects seconds from 0 to " + std::to_string(static_cast<int>(kMaxEditorSeconds)) +
                          ", got \"" + text + "\"");
    return *value;
}

// --scale: one of the screen scales the editor offers, in percent.
int parseScale(const std::string& text) {
    const auto value = parseFiniteDouble(text);
    const int percent = value ? static_cast<int>(*value) : 0;
    if (!value || *value != percent || !pixel_scale::isOffered(percent))
        throw CUsageError("--scale expects one of 100, 125, 150, 175, 200, 250, 300 (percent), got \"" + text + "\"");
    return percent;
}

// --preset and --param, shared by the commands that show the editor. Answers false for
// any other option.
bool parseStartupOption(CArgumentReader& reader, const std::string& option,
                        const std::optional<std::string>& inlineValue, StartupSettings& settings) {
    if (option == "--preset") {
        setOnce(settings.preset, reader.value(option, inlineValue), option);
    } else if (option == "--param") {
        settings.parameters.push_back(parseParameterSetting(reader.value(option, inlineValue)));
    } else {
        return false;
    }
    return true;
}

GuiCommand parseGui(CArgumentReader& reader) {
    GuiCommand command;
    while (!reader.done()) {
        const std::string arg = reader.next();
        if (!isOption(arg)) {
            setOnce(command.plugin, std::filesystem::path(arg), "the plug-in");
            continue;
        }
        const auto [option, inlineValue] = splitOption(arg);
        if (parseStartupOption(reader, option, inlineValue, command.options.settings)) continue;
        if (option == "--plugin") {
            setOnce(command.plugin, std::filesystem::path(reader.value(option, inlineValue)), "the plug-in");
        } else if (option == "--seconds") {
            setOnce(command.options.seconds, parseSeconds(reader.value(option, inlineValue)), option);
        } else if (option == "--scale") {
            setOnce(command.options.scalePercent, parseScale(reader.value(option, inlineValue)), option);
        } else {
            throw CUsageError("unknown option for gui: " + option);
        }
    }
    return command;
}

ScreenshotCommand parseScreenshot(CArgumentReader& reader) {
    ScreenshotCommand command;
    std::optional<std::filesystem::path> output;
    std::optional<int> scale;
    while (!reader.done()) {
        const std::string arg = reader.next();
        if (!isOption(arg)) {
            setOnce(output, std::filesystem::path(arg), "the output file");
            continue;
        }
        const auto [option, inlineValue] = splitOption(arg);
        if (parseStartupOption(reader, option, inlineValue, command.options.settings)) continue;
        if (option == "--scale") {
            setOnce(scale, parseScale(reader.value(option, inlineValue)), option);
        } else {
            throw CUsageError("unknown option for screenshot: " + option);
        }
    }
    if (!output) throw CUsageError("screenshot needs an output file");
    if (!equalsIgnoreCase(output->extension().string(), ".png"))
        throw CUsageError("screenshot writes PNG only: the output must end in .png, got \"" + output->string() + "\"");
    command.options.output = *output;
    if (scale) command.options.scalePercent = *scale;
    return command;
}

}  // namespace

Command parseCommandLine(const std::vector<std::string>& args) {
    CArgumentReader reader(args);
    if (reader.done()) throw CUsageError("no command given");
    for (const std::string& arg : args) {
        if (arg == "-h" || arg == "--help") return HelpCommand{};
    }
    const std::string command = reader.next();
    if (command == "help") return HelpCommand{};
    if (command == "info") return parseInfo(reader);
    if (command == "render") return parseRender(reader);
    if (command == "gui") return parseGui(reader);
    if (command == "screenshot") return parseScreenshot(reader);
    if (command == "preset") {
        if (reader.done()) throw CUsageError("preset needs a subcommand: show");
        const std::string sub = reader.next();
        if (sub != "show") throw CUsageError("unknown preset subcommand: " + sub);
        return parsePresetShow(reader);
    }
    throw CUsageError("unknown command: " + command);
}

}  // namespace host
