// The system's file dialog, as the toolkit's file selector runs it: one request in, the
// chosen full paths out. The runner is replaceable, so that tests can answer in its place.
#pragma once

#include <cstdint>
#include <functional>
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
    // Called again and again while the dialog is open, on the thread that runs it, so that
    // the caller can keep its own windows painted.
    std::function<void()> whileWaiting;
    // Called when the user chose a file whose name this program cannot use, with the reason
    // in a few words; that choice is then left out of the chosen paths.
    std::function<void(const std::string& why)> refused;
};

class FileDialogRunner {
public:
    virtual ~FileDialogRunner() = default;
    // Shows the dialog and waits for it to close. The chosen full paths; none when the user
    // cancelled or no dialog could be shown.
    virtual std::vector<std::string> run(const FileDialogRequest& request) = 0;
};

// The runner file selectors use: the desktop's own dialog unless one was set.
FileDialogRunner& fileDialogRunner();
// Puts a runner in place of the desktop's dialog (not owned); null restores the desktop's.
void setFileDialogRunner(FileDialogRunner* runner);

// The desktop's own dialog; one implementation per platform.
FileDialogRunner& desktopFileDialog();

}  // namespace platform
