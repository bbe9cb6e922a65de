// The system's file dialog, as the toolkit's file selector runs it: one request in, the
// chosen full paths out once the dialog has closed. The runner is replaceable, so that tests
// can answer in its place.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct FileType {
    std::string description;  // "QZA Preset"
    std::string extension;    // "qza", without the dot
};

struct FileDialogRequest {
    enum class Style { openFile, saveFile };

    Style style = Style::openFile;
    std::string title;
    std::string initialDirectory;
    std::string defaultFileName;  // save dialogs: the name proposed
    std::string defaultExtension;  // save dialogs: added to a name typed without one
    std::vector<FileType> types;
    bool multipleFiles = false;
    // The top-level window the dialog belongs to (an X11 window id, a Windows handle), or 0.
    std::uintptr_t parentWindow = 0;
    // Called when the user chose a file whose name this program cannot use, with the reason
    // in a few words; that choice is then left out of the chosen paths.
    std::function<void(const std::string& why)> refused;
    // Modal dialogs only: asked once the dialog has closed; true when whoever asked for it was
    // closed meanwhile. The host may then have unloaded this library as well, and the code the
    // dialog returns into stays loaded for good.
    std::function<bool()> abandoned;
};

// One dialog being shown. Destroying it ends a dialog that is still open (its answer is then
// dropped) and leaves nothing of it behind.
class FileDialogSession {
public:
    virtual ~FileDialogSession() = default;
    // Once the dialog has closed, the chosen full paths: none when the user cancelled or no
    // dialog could be shown. Nothing while it is still open. Never waits.
    virtual std::optional<std::vector<std::string>> result() = 0;
};

class FileDialogRunner {
public:
    virtual ~FileDialogRunner() = default;
    // Shows the dialog. Where the system's dialogs are modal (Windows) it has closed when this
    // returns; the host's own message loop ran meanwhile and may have closed or destroyed
    // whatever asked for the dialog. Elsewhere the dialog stays open beside the caller, whose
    // thread goes on at once.
    virtual std::unique_ptr<FileDialogSession> start(const FileDialogRequest& request) = 0;
};

// A session whose dialog has already closed with these paths.
std::unique_ptr<FileDialogSession> closedFileDialog(std::vector<std::string> paths);

// The runner file selectors use: the desktop's own dialog unless one was set.
FileDialogRunner& fileDialogRunner();
// Puts a runner in place of the desktop's dialog (not owned); null restores the desktop's.
void setFileDialogRunner(FileDialogRunner* runner);

// The desktop's own dialog; one implementation per platform.
FileDialogRunner& desktopFileDialog();

}  // namespace platform
