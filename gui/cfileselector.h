// The system's file dialog, opened for a frame: open or save style, a title, a start folder,
// a proposed name and the file types offered. run() shows it; once isRunning() turns false the
// chosen full paths are available. Cancelling selects nothing. The dialog itself is the
// platform's (platform/file_dialog.h), which tests can replace: where it is modal (Windows),
// run() returns only once it has closed; elsewhere it stays open while the host goes on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gui/cbaseobject.h"

class CFrame;

namespace platform {
class FileDialogSession;
}

class CFileExtension {
public:
    CFileExtension(const char* description, const char* extension)
        : description(description ? description : ""), extension(extension ? extension : "") {}
    const char* getDescription() const { return description.c_str(); }
    const char* getExtension() const { return extension.c_str(); }

private:
    std::string description;
    std::string extension;
};

class CNewFileSelector : public CBaseObject {
public:
    enum Style { kSelectFile, kSelectSaveFile };

    // A selector for the frame's window (null when there is no frame). The caller owns the
    // one reference and forget()s it.
    static CNewFileSelector* create(CFrame* parent, Style style = kSelectFile);

    void setTitle(const char* title) { this->title = title ? title : ""; }
    void setInitialDirectory(const char* path) { initialDirectory = path ? path : ""; }
    void setDefaultSaveName(const char* name) { defaultSaveName = name ? name : ""; }
    void setDefaultExtension(const CFileExtension& extension);
    void addFileExtension(const CFileExtension& extension) { extensions.push_back(extension); }
    void setAllowMultiFileSelection(bool state) { multiple = state; }

    // Shows the dialog; false when it could not be shown. A modal dialog lets the host's message
    // loop run until it closes: whatever started it may have been closed or destroyed by then.
    bool run();
    // Whether the dialog is still open; looks for its answer, never waits.
    bool isRunning();
    // Ends a dialog that is still open, with nothing selected.
    void cancel();
    std::int32_t getNumSelectedFiles() const { return static_cast<std::int32_t>(selected.size()); }
    // A chosen full path (null for no such index).
    const char* getSelectedFile(std::uint32_t index) const;
    // Why a file the user chose could not be taken, in a few words ("invalid name"); empty
    // when nothing was refused.
    const std::string& getRefusal() const { return refusal; }

private:
    CNewFileSelector(CFrame* frame, Style style);
    ~CNewFileSelector() override;

    CFrame* frame;
    Style style;
    std::string title;
    std::string initialDirectory;
    std::string defaultSaveName;
    std::string defaultExtension;
    std::vector<CFileExtension> extensions;
    bool multiple = false;
    std::vector<std::string> selected;
    std::string refusal;
    std::unique_ptr<platform::FileDialogSession> session;
    bool starting = false;  // inside run(), where a modal dialog is open
    bool cancelled = false;
};
