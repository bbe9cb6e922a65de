// A file dialog that answers from a script instead of showing anything, in place of the
// desktop's for as long as it lives. It keeps every request it was given.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_dialog.h"

class ScriptedFileDialog : public platform::FileDialogRunner {
public:
    ScriptedFileDialog() { platform::setFileDialogRunner(this); }
    ~ScriptedFileDialog() override { platform::setFileDialogRunner(nullptr); }
    ScriptedFileDialog(const ScriptedFileDialog&) = delete;
    ScriptedFileDialog& operator=(const ScriptedFileDialog&) = delete;

    // The next answers in order: a path chosen, or nothing for a cancelled dialog. With no
    // answer left the dialog is cancelled.
    std::deque<std::optional<std::string>> answers;
    std::vector<platform::FileDialogRequest> requests;

    std::vector<std::string> run(const platform::FileDialogRequest& request) override {
        requests.push_back(request);
        if (answers.empty()) return {};
        const std::optional<std::string> answer = answers.front();
        answers.pop_front();
        if (!answer) return {};
        return {*answer};
    }
};
