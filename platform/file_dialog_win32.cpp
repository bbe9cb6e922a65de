// The system's common file dialogs (GetOpenFileNameW, GetSaveFileNameW), owned by the editor's
// top-level window, which they disable while they are open. They are modal: their own message
// loop runs the host's and our windows until they close, and the session they hand back has
// closed already. They never change the process's working directory (OFN_NOCHANGEDIR): the
// host's stays its own.
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/diagnostics.h"
#include "platform/file_dialog.h"
#include "platform/utf16_win32.h"

namespace platform {

namespace {

// Room for the chosen names: a multiple selection lists them all in one buffer.
constexpr std::size_t kPathBufferSize = 32768;
constexpr const char* kUnusableName = "invalid name";

// "QZA Preset\0*.qza\0" for each type, and one more terminator.
std::wstring filterOf(const std::vector<FileType>& types) {
    std::wstring filter;
    for (const FileType& type : types) {
        const std::wstring description = toUtf16(type.description).value_or(L"");
        const std::wstring extension = toUtf16(type.extension).value_or(L"");
        if (extension.empty()) continue;
        filter += description.empty() ? L"*." + extension : description;
        filter.push_back(L'\0');
        filter += L"*." + extension;
        filter.push_back(L'\0');
    }
    filter.push_back(L'\0');
    return filter;
}

// The buffer holds either one full path, or the folder and then each name (a multiple
// selection), each ended by a terminator, the whole ended by another. A name with an unpaired
// surrogate has no UTF-8 form: it is left out, and the request told why.
std::vector<std::string> chosenPaths(const std::vector<wchar_t>& buffer, const FileDialogRequest& request) {
    std::vector<std::wstring> parts;
    std::size_t start = 0;
    while (start < buffer.size() && buffer[start] != L'\0') {
        std::size_t end = start;
        while (end < buffer.size() && buffer[end] != L'\0') ++end;
        parts.emplace_back(buffer.data() + start, end - start);
        start = end + 1;
    }
    std::vector<std::wstring> wide;
    if (parts.size() == 1) {
        wide.push_back(parts[0]);
    } else if (parts.size() > 1) {
        std::wstring folder = parts[0];
        if (!folder.empty() && folder.back() != L'\\') folder.push_back(L'\\');
        for (std::size_t i = 1; i < parts.size(); ++i) wide.push_back(folder + parts[i]);
    }
    std::vector<std::string> paths;
    for (const std::wstring& path : wide) {
        if (const std::optional<std::string> narrow = toUtf8(path)) {
            paths.push_back(*narrow);
            continue;
        }
        reportProblem("cannot use the chosen file: its name holds a broken character (an unpaired UTF-16 "
                      "surrogate), which no UTF-8 path can hold");
        if (request.refused) request.refused(kUnusableName);
    }
    return paths;
}

// A reference to this library, which keeps its code loaded while a modal dialog runs the
// host's message loop inside it: a host may close the effect and unload the library there.
class LibraryReference {
public:
    LibraryReference() {
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&anchor), &module);
    }
    ~LibraryReference() {
        if (module) FreeLibrary(module);
    }
    LibraryReference(const LibraryReference&) = delete;
    LibraryReference& operator=(const LibraryReference&) = delete;
    // The host may have dropped its own references: releasing ours could unload the code that
    // the dialog returns into.
    void keepForGood() { module = nullptr; }

private:
    static constexpr char anchor = 0;  // any address inside this library
    HMODULE module = nullptr;
};

class CommonFileDialog : public FileDialogRunner {
public:
    std::unique_ptr<FileDialogSession> start(const FileDialogRequest& request) override {
        LibraryReference code;
        std::vector<std::string> paths = show(request);
        if (request.abandoned && request.abandoned()) code.keepForGood();
        return closedFileDialog(std::move(paths));
    }

private:
    static std::vector<std::string> show(const FileDialogRequest& request) {
        const bool save = request.style == FileDialogRequest::Style::saveFile;
        const std::wstring title = toUtf16(request.title).value_or(L"");
        const std::wstring folder = toUtf16(request.initialDirectory).value_or(L"");
        const std::wstring extension = toUtf16(request.defaultExtension).value_or(L"");
        const std::wstring filter = filterOf(request.types);

        std::vector<wchar_t> buffer(kPathBufferSize, L'\0');
        if (save) {
            const std::wstring name = toUtf16(request.defaultFileName).value_or(L"");
            if (name.size() < buffer.size()) name.copy(buffer.data(), name.size());
        }

        HWND owner = reinterpret_cast<HWND>(request.parentWindow);
        OPENFILENAMEW dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = owner && IsWindow(owner) ? owner : nullptr;
        dialog.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
        dialog.nFilterIndex = 1;
        dialog.lpstrFile = buffer.data();
        dialog.nMaxFile = static_cast<DWORD>(buffer.size());
        dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
        dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
        dialog.lpstrDefExt = save && !extension.empty() ? extension.c_str() : nullptr;
        dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLESIZING | OFN_PATHMUSTEXIST;
        if (save)
            dialog.Flags |= OFN_OVERWRITEPROMPT;
        else
            dialog.Flags |= OFN_FILEMUSTEXIST | (request.multipleFiles ? OFN_ALLOWMULTISELECT : 0);

        const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
        if (!chosen) {
            // Zero when the user cancelled; anything else is a failure of the dialog itself.
            if (const DWORD error = CommDlgExtendedError())
                reportProblem("the file dialog failed (common dialog error " + std::to_string(error) + ")");
            return {};
        }
        return chosenPaths(buffer, request);
    }
};

}  // namespace

FileDialogRunner& desktopFileDialog() {
    static CommonFileDialog dialog;
    return dialog;
}

}  // namespace platform
