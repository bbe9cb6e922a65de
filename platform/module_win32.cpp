#include "platform/module_win32.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<HMODULE> keptModule{nullptr};
}  // namespace

void setModuleHandle(HMODULE module) { keptModule.store(module); }

HMODULE moduleHandle() {
    if (HMODULE module = keptModule.load()) return module;
    HMODULE own = nullptr;
    // The module holding this very function, without taking a reference to it.
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&moduleHandle), &own);
    return own;
}

}  // namespace platform
