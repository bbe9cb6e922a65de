#include "host/screenshot.h"

#include <unistd.h>

#include <string>

#include "editor/ad_editor.h"
#include "gui/drawing_backend.h"
#include "host/host_error.h"
#include "host/plugin_instance.h"
#include "host/temporary_file.h"
#include "plugin/adelay.h"
#include "vst/audioeffect.h"

namespace host {

namespace {

// The stream the effect is told about; it processes nothing.
constexpr float kScreenshotSampleRate = 44100.0f;
constexpr VstInt32 kScreenshotBlockSize = 512;
// How the built-in effect is named in messages, where a loaded one shows its library.
constexpr char kBuiltInName[] = "QZA Chordwell (built into chordwell)";

bool gDrawn = false;  // a screenshot has used the drawing backend in this process

// A file name reserved beside the target, removed again unless it was renamed over it.
class CTemporaryFile {
public:
    explicit CTemporaryFile(const std::filesystem::path& target) : target(target) {
        close(createTemporaryBeside(target, path));
    }
    ~CTemporaryFile() {
        if (committed) return;
        std::error_code error;
        std::filesystem::remove(path, error);
    }
    CTemporaryFile(const CTemporaryFile&) = delete;
    CTemporaryFile& operator=(const CTemporaryFile&) = delete;

    const std::filesystem::path& temporaryPath() const { return path; }

    void commit() {
        moveIntoPlace(path, target);
        committed = true;
    }

private:
    std::filesystem::path target;
    std::filesystem::path path;
    bool committed = false;
};

// The editor open offscreen for the scope's life.
class COffscreenEditor {
public:
    explicit COffscreenEditor(ADEditor& editor) : editor(editor) {
        if (!editor.openOffscreen()) throw CHostError("the editor could not be built");
    }
    ~COffscreenEditor() { editor.close(); }
    COffscreenEditor(const COffscreenEditor&) = delete;
    COffscreenEditor& operator=(const COffscreenEditor&) = delete;

private:
    ADEditor& editor;
};

}  // namespace

void writeEditorScreenshot(const ScreenshotOptions& options) {
    std::error_code error;
    if (std::filesystem::is_directory(options.output, error))
        throw CHostError("cannot write " + options.output.string() + ": it is a directory");

    CPluginInstance plugin(&createEffectInstance, kBuiltInName);
    plugin.open(kScreenshotSampleRate, kScreenshotBlockSize);
    applyStartupSettings(plugin, options.settings);

    // The record's object is the effect that createEffectInstance built, as an AudioEffect.
    auto* effect = static_cast<AudioEffect*>(plugin.record().object);
    auto* editor = dynamic_cast<ADEditor*>(effect->getEditor());
    if (editor == nullptr) throw CHostError("the effect has no editor");

    CTemporaryFile file(options.output);
    {
        gDrawn = true;
        COffscreenEditor open(*editor);
        if (!editor->setScalePercent(options.scalePercent))
            throw CHostError("the editor offers no scale of " + std::to_string(options.scalePercent) + " %");
        editor->idle();
        CFrame* frame = editor->getFrame();
        if (frame == nullptr || !frame->writePng(file.temporaryPath().c_str()))
            throw CHostError("cannot write " + options.output.string() + ": the picture could not be stored");
    }
    file.commit();
}

void releaseScreenshotCaches() {
    if (!gDrawn) return;
    releaseDrawingCaches();
    gDrawn = false;
}

}  // namespace host
