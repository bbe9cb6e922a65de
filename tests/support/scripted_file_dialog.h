// A file dialog that answers from a script instead of showing anything, in place of the
// desktop's for as long as it lives. It keeps every request it was given. Like the modal
// dialogs of Windows, it has closed by the time start() returns; `whileOpen` stands for what
// the host does in the dialog's message loop before the user answers. With `staysOpen` it
// stays open beside the caller instead, as the desktop's choosers do, until answerOpenDialog().
#pragma once

#include <deque>
#include <functional>
#include <memory>
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
    std::function<void()> whileOpen;
    bool staysOpen = false;

    std::unique_ptr<platform::FileDialogSession> start(const platform::FileDialogRequest& request) override {
        requests.push_back(request);
        if (staysOpen) {
            auto session = std::make_unique<OpenDialog>();
            openDialog = session->answer;
            return session;
        }
        if (whileOpen) whileOpen();
        return platform::closedFileDialog(nextAnswer());
    }
    // Whether the caller still holds the dialog that stays open.
    bool isShowing() const { return !openDialog.expired(); }
    // The user answers the dialog that stays open with the next answer.
    void answerOpenDialog() {
        if (const auto answer = openDialog.lock()) *answer = nextAnswer();
    }

private:
    using Answer = std::optional<std::vector<std::string>>;
    struct OpenDialog : platform::FileDialogSession {
        std::shared_ptr<Answer> answer = std::make_shared<Answer>();
        Answer result() override { return *answer; }
    };

    std::vector<std::string> nextAnswer() {
        if (answers.empty()) return {};
        const std::optional<std::string> answer = answers.front();
        answers.pop_front();
        return answer ? std::vector<std::string>{*answer} : std::vector<std::string>{};
    }

    std::weak_ptr<Answer> openDialog;
};
