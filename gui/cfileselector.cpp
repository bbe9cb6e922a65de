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

bool CNewFileSelector::run() {
    if (session) return false;  // one dialog at a time
    selected.clear();
    refusal.clear();
    cancelled = false;
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
    request.refused = [this](const std::string& why) { refusal = why; };
    request.abandoned = [this] { return cancelled; };

    // A modal dialog runs the host's message loop: whoever holds this selector may cancel and
    // release it meanwhile, and the frame may close. Both stay alive until the dialog is over.
    remember();
    frame->remember();
    starting = true;
    std::unique_ptr<platform::FileDialogSession> started = platform::fileDialogRunner().start(request);
    starting = false;
    const bool shown = started != nullptr;
    if (!cancelled) session = std::move(started);
    frame->forget();
    forget();
    return shown;
}

bool CNewFileSelector::isRunning() {
    // A modal dialog's loop may look (a timer's idle call) before the dialog has even answered.
    if (starting) return true;
    if (!session) return false;
    std::optional<std::vector<std::string>> answer = session->result();
    if (!answer) return true;
    selected = std::move(*answer);
    session.reset();
    return false;
}

void CNewFileSelector::cancel() {
    cancelled = true;
    session.reset();
    selected.clear();
}

CNewFileSelector::~CNewFileSelector() = default;

const char* CNewFileSelector::getSelectedFile(std::uint32_t index) const {
    return index < selected.size() ? selected[index].c_str() : nullptr;
}
