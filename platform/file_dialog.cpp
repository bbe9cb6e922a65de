#include "platform/file_dialog.h"

namespace platform {

namespace {

FileDialogRunner* replacement = nullptr;

class ClosedFileDialog : public FileDialogSession {
public:
    explicit ClosedFileDialog(std::vector<std::string> paths) : paths(std::move(paths)) {}
    std::optional<std::vector<std::string>> result() override { return paths; }

private:
    std::vector<std::string> paths;
};

}  // namespace

std::unique_ptr<FileDialogSession> closedFileDialog(std::vector<std::string> paths) {
    return std::make_unique<ClosedFileDialog>(std::move(paths));
}

FileDialogRunner& fileDialogRunner() { return replacement ? *replacement : desktopFileDialog(); }

void setFileDialogRunner(FileDialogRunner* runner) { replacement = runner; }

}  // namespace platform
