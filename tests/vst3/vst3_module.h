// A VST3 module loaded the way a host loads one: the library opened, its module entry called,
// its factory taken; the exit call and the unloading when the object goes. Each system has
// its loader (vst3_module_posix.cpp, vst3_module_win32.cpp), and its way of letting the
// system's own timers of this thread run (runSystemTimers).
#pragma once

#include <filesystem>

#include "vst3/base_interfaces.h"

class Vst3Module {
public:
    // Throws std::runtime_error when the library cannot be loaded or lacks an export.
    explicit Vst3Module(const std::filesystem::path& library);
    ~Vst3Module();
    Vst3Module(const Vst3Module&) = delete;
    Vst3Module& operator=(const Vst3Module&) = delete;

    vst3::IPluginFactory* factory() const { return factory_; }

private:
    void* handle_ = nullptr;
    vst3::IPluginFactory* factory_ = nullptr;
};

// Dispatches this thread's pending window-system messages for about `ms` milliseconds, as a
// host's message loop would, where the system has such a loop (Windows); elsewhere nothing.
void runSystemTimers(int ms);
