// A small CLAP host for the tests: the host record with the extensions the plug-in may use
// (params, state, tail, gui, timer-support, posix-fd-support, thread-check), each recording its
// calls and whether it came from the thread CLAP names for it; event lists; byte streams that
// hand over a few bytes at a time; and a plug-in instance made, activated and driven as hosts do.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "clap/clap_abi.h"
#include "clap_module.h"

inline constexpr const char* kClapId = "com.qza-tonefold.chordwell";

class TestHost {
public:
    TestHost() {
        record_.clapVersion = clap::kVersion;
        record_.hostData = this;
        record_.name = "chordwell test host";
        record_.vendor = record_.url = record_.version = "";
        record_.getExtension = &extension;
        record_.requestRestart = [](const clap::Host*) {};
        record_.requestProcess = [](const clap::Host*) {};
        record_.requestCallback = [](const clap::Host* h) { self(h).callbacks++; };
    }
    const clap::Host* host() const { return &record_; }

    // The host's main thread is the one that made it; the audio thread is any other.
    std::thread::id mainThread = std::this_thread::get_id();
    // Host calls made from a thread CLAP does not allow for them.
    std::atomic<int> wrongThread{0};
    std::atomic<int> callbacks{0}, rescans{0}, flushRequests{0}, dirty{0}, tailChanges{0};
    std::vector<std::uint32_t> timers;   // periods of the registered timers
    std::vector<int> fds;                // watched descriptors
    std::vector<std::pair<std::uint32_t, std::uint32_t>> resizeRequests;
    bool offerTimers = true;

private:
    static TestHost& self(const clap::Host* host) { return *static_cast<TestHost*>(host->hostData); }
    static void onMain(const clap::Host* host) {
        if (std::this_thread::get_id() != self(host).mainThread) self(host).wrongThread++;
    }
    static const void* CLAP_CALL extension(const clap::Host* host, const char* id) {
        static const clap::HostParams params{
            [](const clap::Host* h, std::uint32_t) { onMain(h), self(h).rescans++; },
            [](const clap::Host* h, clap::Id, std::uint32_t) { onMain(h); },
            [](const clap::Host* h) {
                if (std::this_thread::get_id() != self(h).mainThread) self(h).wrongThread++;  // never the audio thread
                self(h).flushRequests++;
            }};
        static const clap::HostState state{[](const clap::Host* h) { onMain(h), self(h).dirty++; }};
        static const clap::HostTail tail{[](const clap::Host* h) { onMain(h), self(h).tailChanges++; }};
        static const clap::HostGui gui{
            [](const clap::Host* h) { onMain(h); },
            [](const clap::Host* h, std::uint32_t w, std::uint32_t hh) {
                onMain(h);
                self(h).resizeRequests.emplace_back(w, hh);
                return true;
            },
            [](const clap::Host* h) { return onMain(h), true; }, [](const clap::Host* h) { return onMain(h), true; },
            [](const clap::Host* h, bool) { onMain(h); }};
        static const clap::HostTimerSupport timers{
            [](const clap::Host* h, std::uint32_t period, clap::Id* timer) {
                onMain(h);
                self(h).timers.push_back(period);
                *timer = static_cast<clap::Id>(self(h).timers.size());
                return true;
            },
            [](const clap::Host* h, clap::Id) { return onMain(h), true; }};
        static const clap::HostPosixFdSupport fds{
            [](const clap::Host* h, int fd, std::uint32_t) { return onMain(h), self(h).fds.push_back(fd), true; },
            [](const clap::Host* h, int, std::uint32_t) { return onMain(h), true; },
            [](const clap::Host* h, int fd) {
                onMain(h);
                std::erase(self(h).fds, fd);
                return true;
            }};
        static const clap::HostThreadCheck threads{
            [](const clap::Host* h) { return std::this_thread::get_id() == self(h).mainThread; },
            [](const clap::Host* h) { return std::this_thread::get_id() != self(h).mainThread; }};
        const std::string name = id ? id : "";
        if (name == clap::kExtParams) return &params;
        if (name == clap::kExtState) return &state;
        if (name == clap::kExtTail) return &tail;
        if (name == clap::kExtGui) return &gui;
        if (name == clap::kExtTimerSupport) return self(host).offerTimers ? &timers : nullptr;
        if (name == clap::kExtPosixFdSupport) return &fds;
        if (name == clap::kExtThreadCheck) return &threads;
        return nullptr;
    }

    clap::Host record_{};
};

// Parameter value events for one block, in the order of their samples.
class InputEvents {
public:
    void add(clap::Id param, std::uint32_t time, double value) {
        clap::EventParamValue event{};
        event.header = {sizeof event, time, clap::kCoreEventSpaceId, clap::kEventParamValue, 0};
        event.paramId = param;
        event.noteId = -1;
        event.portIndex = event.channel = event.key = -1;
        event.value = value;
        events_.push_back(event);
    }
    const clap::InputEvents* list() {
        list_.ctx = this;
        list_.size = [](const clap::InputEvents* l) { return static_cast<std::uint32_t>(of(l).events_.size()); };
        list_.get = [](const clap::InputEvents* l, std::uint32_t i) -> const clap::EventHeader* {
            return &of(l).events_[i].header;
        };
        return &list_;
    }

private:
    static InputEvents& of(const clap::InputEvents* l) { return *static_cast<InputEvents*>(l->ctx); }
    std::vector<clap::EventParamValue> events_;
    clap::InputEvents list_{};
};

// What the plug-in hands back: (type, parameter, value) of each event.
class OutputEvents {
public:
    struct Event {
        std::uint16_t type;
        clap::Id param;
        double value;
        bool operator==(const Event&) const = default;
    };
    std::vector<Event> events;

    const clap::OutputEvents* list() {
        list_.ctx = this;
        list_.tryPush = [](const clap::OutputEvents* l, const clap::EventHeader* e) {
            auto& self = *static_cast<OutputEvents*>(l->ctx);
            const clap::Id param = reinterpret_cast<const clap::EventParamGesture*>(e)->paramId;
            const double value =
                e->type == clap::kEventParamValue ? reinterpret_cast<const clap::EventParamValue*>(e)->value : 0.0;
            self.events.push_back({e->type, param, value});
            return true;
        };
        return &list_;
    }

private:
    clap::OutputEvents list_{};
};

// Bytes in and out of a plug-in's state, `piece` bytes a call at most.
struct ByteStreams {
    std::vector<unsigned char> bytes;
    std::size_t at = 0;
    std::size_t piece = 1u << 20;

    const clap::InputStream* in() {
        at = 0;
        in_ = {this, [](const clap::InputStream* s, void* buffer, std::uint64_t size) -> std::int64_t {
                   auto& self = *static_cast<ByteStreams*>(s->ctx);
                   const std::size_t n = std::min({static_cast<std::size_t>(size), self.piece, self.bytes.size() - self.at});
                   std::memcpy(buffer, self.bytes.data() + self.at, n);
                   self.at += n;
                   return static_cast<std::int64_t>(n);
               }};
        return &in_;
    }
    const clap::OutputStream* out() {
        bytes.clear();
        out_ = {this, [](const clap::OutputStream* s, const void* buffer, std::uint64_t size) -> std::int64_t {
                    auto& self = *static_cast<ByteStreams*>(s->ctx);
                    const std::size_t n = std::min(static_cast<std::size_t>(size), self.piece);
                    const auto* b = static_cast<const unsigned char*>(buffer);
                    self.bytes.insert(self.bytes.end(), b, b + n);
                    return static_cast<std::int64_t>(n);
                }};
        return &out_;
    }

private:
    clap::InputStream in_{};
    clap::OutputStream out_{};
};

// One plug-in of the module, initialised; destroyed when the object goes.
class ClapInstance {
public:
    ClapInstance(const ClapModule& module, TestHost& host) {
        plugin = module.factory().createPlugin(&module.factory(), host.host(), kClapId);
        if (!plugin || !plugin->init(plugin)) throw std::runtime_error("the plug-in was not made");
        params = static_cast<const clap::PluginParams*>(plugin->getExtension(plugin, clap::kExtParams));
        state = static_cast<const clap::PluginState*>(plugin->getExtension(plugin, clap::kExtState));
    }
    ~ClapInstance() {
        if (active) plugin->deactivate(plugin);
        plugin->destroy(plugin);
    }
    ClapInstance(const ClapInstance&) = delete;
    ClapInstance& operator=(const ClapInstance&) = delete;

    void start(double rate, std::uint32_t maxFrames) {
        active = plugin->activate(plugin, rate, 1, maxFrames) && plugin->startProcessing(plugin);
        if (!active) throw std::runtime_error("the plug-in was not activated");
    }

    // One block from `in` (null: no input port) to `out` (which may be the same channels), with
    // the events given.
    clap::ProcessStatus process(float** in, float** out, std::uint32_t frames, InputEvents* events = nullptr,
                                OutputEvents* outEvents = nullptr) {
        InputEvents none;
        OutputEvents ignored;
        clap::AudioBuffer input{in, nullptr, 2, 0, 0};
        clap::AudioBuffer output{out, nullptr, 2, 0, 0};
        clap::Process data{};
        data.steadyTime = -1;
        data.framesCount = frames;
        data.audioInputs = &input;
        data.audioOutputs = &output;
        data.audioInputsCount = in ? 1 : 0;  // no input: none given
        data.audioOutputsCount = 1;
        data.inEvents = (events ? events : &none)->list();
        data.outEvents = (outEvents ? outEvents : &ignored)->list();
        return plugin->process(plugin, &data);
    }

    std::vector<unsigned char> save(std::size_t piece = 1u << 20) {
        ByteStreams streams;
        streams.piece = piece;
        if (!state->save(plugin, streams.out())) return {};
        return streams.bytes;
    }
    bool load(std::vector<unsigned char> bytes, std::size_t piece = 1u << 20) {
        ByteStreams streams;
        streams.bytes = std::move(bytes);
        streams.piece = piece;
        return state->load(plugin, streams.in());
    }
    double value(clap::Id id) {
        double v = -1.0;
        params->getValue(plugin, id, &v);
        return v;
    }

    const clap::Plugin* plugin = nullptr;
    const clap::PluginParams* params = nullptr;
    const clap::PluginState* state = nullptr;
    bool active = false;
};
