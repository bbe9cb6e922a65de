// Gives the settings store a place of its own for as long as it lives, so that a test neither
// sees nor changes the user's values: a temporary folder on POSIX systems, a temporary registry
// key standing in for HKEY_CURRENT_USER on Windows. A sandbox that cannot be made ends the
// process rather than let a test reach the real store. Sandboxes nest: when one ends, the one
// that was in place before it is again.
#pragma once

#include <string>

class SettingsSandbox {
public:
    SettingsSandbox();
    ~SettingsSandbox();
    SettingsSandbox(const SettingsSandbox&) = delete;
    SettingsSandbox& operator=(const SettingsSandbox&) = delete;

    // The folder or key; another process joins the sandbox with it.
    const std::string& name() const { return name_; }

    // Points this process's settings store at a sandbox that another process created; false
    // when it cannot.
    static bool join(const std::string& name);

    // From now on until the sandbox ends, the store can be read from no more and written to no
    // more, as when the user's settings are out of reach. False where that cannot be arranged.
    bool blockWrites();

private:
    std::string name_;
    std::string saved_;  // what the process used before, put back at the end
    bool hadSaved_ = false;
};
