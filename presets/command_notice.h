// What a file or settings command of the preset bar tells the user when it fails, in a few
// words for the name field: "Not saved: disk full". The whole reason, with the path and the
// system's own message, goes to the diagnostics stream where the failure is found.
#pragma once

#include <string>

// What did not happen, the first half of a notice.
constexpr const char* kNotLoaded = "Not loaded";
constexpr const char* kNotSaved = "Not saved";
constexpr const char* kNotStored = "Not stored";
constexpr const char* kNotCleared = "Not cleared";

struct CommandNotice {
    std::string text;  // empty when the command did its work

    bool failed() const { return !text.empty(); }

    // "<what did not happen>: <why>", as "Not loaded" and "not a QZA preset".
    static CommandNotice of(const char* notDone, const std::string& why) { return {std::string(notDone) + ": " + why}; }
};
