// The system's file dialog, opened for a frame: open or save style, a title, a start folder,
// a proposed name and the file types offered. runModal() shows it and waits for it to close,
// keeping the frame's window painted meanwhile; the chosen full paths are then available.
// Cancelling selects nothing. The dialog itself is the platform's (platform/file_dialog.h),
// which tests can replace.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/cbaseobject.h"

class CFrame;

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

    // Shows the dialog and waits; true when at least one file was chosen.
    bool runModal();
    std::int32_t getNumSelectedFiles() const { return static_cast<std::int32_t>(selected.size()); }
    // A chosen full path (null for no such index).
    const char* getSelectedFile(std::uint32_t index) const;
    // Why a file the user chose could not be taken, in a few words ("invalid name"); empty
    // when nothing was refused.
    const std::string& getRefusal() const { return refusal; }

private:
    CNewFileSelector(CFrame* frame, Style style);

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
};
