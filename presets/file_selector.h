// The file dialog as the preset system sees it: one request, one chosen full path or nothing.
// The editor window supplies the desktop's dialog; tests supply a scripted one.
#pragma once

#include <optional>
#include <string>

struct FileSelectorRequest {
    enum class Style { openFile, saveFile };

    Style style = Style::openFile;
    std::string title;
    std::string initialDirectory;
    std::string defaultFileName;  // save dialogs only
    std::string typeDescription;  // "QZA Preset"
    std::string extension;        // "qza", without the dot
};

class FileSelector {
public:
    virtual ~FileSelector() = default;
    // Runs the dialog to its end; the full path of exactly one chosen file, or nothing.
    virtual std::optional<std::string> choose(const FileSelectorRequest& request) = 0;
};
