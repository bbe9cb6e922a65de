#include "host/commands.h"

#include <cstdio>
#include <type_traits>

#include "host/command_line.h"
#include "host/editor_session.h"
#include "host/host_error.h"
#include "host/info.h"
#include "host/plugin_instance.h"
#include "host/preset_show.h"
#include "host/render.h"
#include "host/screenshot.h"

namespace host {

namespace {

// Rate and block size at which info and preset show open a plug-in; neither processes.
constexpr float kQueryRate = 44100.0f;
constexpr VstInt32 kQueryBlockSize = kDefaultBlockSize;

void runInfo(const InfoCommand& command, std::ostream& out, const HostEnvironment& environment) {
    CPluginInstance plugin(resolvePluginPath(command.plugin, environment));
    plugin.open(kQueryRate, kQueryBlockSize);
    printInfo(plugin, out);
}

void runPresetShow(const PresetShowCommand& command, std::ostream& out, const HostEnvironment& environment) {
    std::error_code error;
    if (!std::filesystem::exists(command.file, error)) throw CHostError("file not found: " + command.file.string());
    CPluginInstance plugin(resolvePluginPath(command.plugin, environment));
    plugin.open(kQueryRate, kQueryBlockSize);
    showPresetFile(plugin, command.file, out);
}

void runRender(const RenderCommand& command, std::ostream& out, const HostEnvironment& environment) {
    RenderOptions options = command.options;
    options.plugin = resolvePluginPath(command.plugin, environment);
    CProgressBar progress(stderr, environment.progressBar);
    RenderResult result;
    try {
        result = render(options, progress);
    } catch (...) {
        progress.finish();
        throw;
    }
    if (result.monoInput) out << "mono input: " << options.input->string() << " feeds both inputs of the plug-in\n";
    if (result.nonFiniteSamples > 0) {
        out << "warning: the plug-in produced " << result.nonFiniteSamples << " samples that are not finite numbers"
            << (result.format.find("float") == std::string::npos ? "; they were written as 0" : "") << '\n';
    }
    std::error_code error;
    const std::filesystem::path written = std::filesystem::absolute(result.output, error);
    out << "wrote " << (error ? result.output : written).string() << " (" << result.format << ", "
        << result.frames << " frames at " << result.sampleRate << " Hz)\n";
}

void runGui(const GuiCommand& command, std::ostream& out, const HostEnvironment& environment) {
    EditorSessionOptions options = command.options;
    options.plugin = resolvePluginPath(command.plugin, environment);
    runEditorSession(options, out);
}

void runScreenshot(const ScreenshotCommand& command, std::ostream& out) {
    writeEditorScreenshot(command.options);
    std::error_code error;
    const std::filesystem::path written = std::filesystem::absolute(command.options.output, error);
    out << "wrote " << (error ? command.options.output : written).string() << '\n';
}

}  // namespace

std::filesystem::path resolvePluginPath(const std::optional<std::filesystem::path>& given,
                                        const HostEnvironment& environment) {
    if (given) return *given;
    std::error_code error;
    const std::filesystem::path beside = environment.executableDir / kDefaultPluginFile;
    if (!environment.executableDir.empty() && std::filesystem::exists(beside, error)) return beside;
    const std::filesystem::path installed = environment.installedPluginDir / kDefaultPluginFile;
    if (!environment.installedPluginDir.empty() && std::filesystem::exists(installed, error)) return installed;
    if (environment.home) {
        const std::filesystem::path user = *environment.home / ".vst" / kDefaultPluginFile;
        if (std::filesystem::exists(user, error)) return user;
    }
    throw CHostError(std::string("no plug-in given, and ") + kDefaultPluginFile + " is neither beside chordwell (" +
                     environment.executableDir.string() + "), nor in " + environment.installedPluginDir.string() +
                     ", nor in ~/.vst; name one with --plugin PATH");
}

int runChordwell(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const HostEnvironment& environment) {
    try {
        const Command command = parseCommandLine(args);
        std::visit(
            [&](const auto& parsed) {
                using T = std::decay_t<decltype(parsed)>;
                if constexpr (std::is_same_v<T, HelpCommand>) {
                    out << kUsage << kHelpDetails;
                } else if constexpr (std::is_same_v<T, InfoCommand>) {
                    runInfo(parsed, out, environment);
                } else if constexpr (std::is_same_v<T, RenderCommand>) {
                    runRender(parsed, out, environment);
                } else if constexpr (std::is_same_v<T, PresetShowCommand>) {
                    runPresetShow(parsed, out, environment);
                } else if constexpr (std::is_same_v<T, GuiCommand>) {
                    runGui(parsed, out, environment);
                } else {
                    runScreenshot(parsed, out);
                }
            },
            command);
        out.flush();
        return kExitSuccess;
    } catch (const CUsageError& error) {
        err << "chordwell: " << error.what() << '\n' << kUsage;
        return kExitUsage;
    } catch (const CInterrupted&) {
        err << "chordwell: interrupted; nothing was written\n";
        return kExitInterrupted;
    } catch (const CHostError& error) {
        err << "chordwell: error: " << error.what() << '\n';
        return kExitFailure;
    } catch (const std::exception& error) {
        err << "chordwell: error: " << error.what() << '\n';
        return kExitFailure;
    }
}

}  // namespace host
