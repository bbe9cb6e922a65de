#include "platform/file_dialog.h"

namespace platform {

namespace {
FileDialogRunner* replacement = nullptr;
}  // namespace

FileDialogRunner& fileDialogRunner() { return replacement ? *replacement : desktopFileDialog(); }

void setFileDialogRunner(FileDialogRunner* runner) { replacement = runner; }

}  // namespace platform
