#include "gui/cfileselector.h"

#include <algorithm>

#include "gui/cframe.h"
#include "gui/platform_window.h"
#include "platform/file_dialog.h"

CNewFileSelector* CNewFileSelector::create(CFrame* parent, Style style) {
    if (!parent) return nullptr;
    return new CNewFileSelector(parent, style);
}

CNewFileSelector::CNewFileSelector(CFrame* frame, Style style) : frame(frame), style(style) {}

void CNewFileSelector::setDefaultExtension(const CFileExtension& extension) {
    defaultExtension = extension.getExtension();
    // The default type is offered first.
    const auto same = [&](const CFileExtension& e) { return std::string(e.getExtension()) == defaultExtension; };
    if (std::none_of(extensions.begin(), extensions.end(), same)) extensions.insert(extensions.begin(), extension);
}

bool CNewFileSelector::runModal() {
    selected.clear();
    refusal.clear();
    platform::FileDialogRequest request;
    request.style = style == kSelectSaveFile ? platform::FileDialogRequest::Style::saveFile
                                             : platform::FileDialogRequest::Style::openFile;
    request.title = title;
    request.initialDirectory = initialDirectory;
    if (style == kSelectSaveFile) {
        request.defaultFileName = defaultSaveName;
        request.defaultExtension = defaultExtension;
    }
    for (const CFileExtension& extension : extensions)
        request.types.push_back({extension.getDescription(), extension.getExtension()});
    request.multipleFiles = multiple && style != kSelectSaveFile;
    if (PlatformWindow* window = frame->getPlatformWindow()) request.parentWindow = window->topLevelWindow();
    // The host's interface waits for the dialog; its exposed parts of our window are
    // repainted from what was last drawn.
    request.whileWaiting = [] { keepWindowsPaintedDuringDialog(); };
    request.refused = [this](const std::string& why) { refusal = why; };

    // Kept alive through the dialog: the frame is not ours to lose meanwhile.
    frame->remember();
    selected = platform::fileDialogRunner().run(request);
    frame->forget();
    return !selected.empty();
}

const char* CNewFileSelector::getSelectedFile(std::uint32_t index) const {
    return index < selected.size() ? selected[index].c_str() : nullptr;
}
