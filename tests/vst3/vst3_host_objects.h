// The host's side of the VST3 interface, as small as the tests need: a memory stream, parameter
// changes for one block, a component handler that records what the plug-in tells it (and one
// that lends a run loop), and a plug frame that records requests to resize and whose run loop
// the test turns by hand. The objects
// live on the test's stack: their reference counts change nothing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "vst3/audio_interfaces.h"
#include "vst3/controller_interfaces.h"
#include "vst3/view_interfaces.h"

template <typename Interface>
class HostObject : public Interface {
public:
    vst3::tresult VST3_API queryInterface(const char* iid, void** obj) override {
        if (vst3::sameUid(iid, vst3::FUnknown::iid) || vst3::sameUid(iid, Interface::iid)) {
            *obj = this;
            return vst3::kResultOk;
        }
        *obj = nullptr;
        return vst3::kNoInterface;
    }
    vst3::uint32 VST3_API addRef() override { return 1; }
    vst3::uint32 VST3_API release() override { return 1; }
};

class MemoryStream final : public HostObject<vst3::IBStream> {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<unsigned char> bytes) : data(std::move(bytes)) {}

    // At most `piece` bytes a read; with `falseWhenShort`, fewer than asked are answered with
    // kResultFalse (hosts' streams do both).
    vst3::tresult VST3_API read(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesRead) override {
        const auto n = static_cast<vst3::int32>(
            std::min<std::size_t>({static_cast<std::size_t>(std::max(numBytes, 0)), piece, data.size() - position}));
        std::memcpy(buffer, data.data() + position, static_cast<std::size_t>(n));
        position += static_cast<std::size_t>(n);
        if (numBytesRead) *numBytesRead = n;
        return falseWhenShort && n < numBytes ? vst3::kResultFalse : vst3::kResultOk;
    }
    vst3::tresult VST3_API write(void* buffer, vst3::int32 numBytes, vst3::int32* numBytesWritten) override {
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        data.insert(data.end(), bytes, bytes + numBytes);
        if (numBytesWritten) *numBytesWritten = numBytes;
        return vst3::kResultOk;
    }
    vst3::tresult VST3_API seek(vst3::int64 pos, vst3::int32 mode, vst3::int64* result) override {
        const vst3::int64 base = mode == kSeekSet ? 0 : mode == kSeekCur ? static_cast<vst3::int64>(position)
                                                                         : static_cast<vst3::int64>(data.size());
        position = static_cast<std::size_t>(std::clamp<vst3::int64>(base + pos, 0, static_cast<vst3::int64>(data.size())));
        if (result) *result = static_cast<vst3::int64>(position);
        return vst3::kResultOk;
    }
    vst3::tresult VST3_API tell(vst3::int64* pos) override {
        if (pos) *pos = static_cast<vst3::int64>(position);
        return vst3::kResultOk;
    }

    std::vector<unsigned char> data;
    std::size_t position = 0;
    std::size_t piece = SIZE_MAX;
    bool falseWhenShort = false;
};

class ParamQueue final : public HostObject<vst3::IParamValueQueue> {
public:
    explicit ParamQueue(vst3::ParamID id) : id(id) {}
    vst3::ParamID VST3_API getParameterId() override { return id; }
    vst3::int32 VST3_API getPointCount() override { return static_cast<vst3::int32>(points.size()); }
    vst3::tresult VST3_API getPoint(vst3::int32 index, vst3::int32& offset, vst3::ParamValue& value) override {
        if (index < 0 || index >= getPointCount()) return vst3::kInvalidArgument;
        offset = points[static_cast<std::size_t>(index)].first;
        value = points[static_cast<std::size_t>(index)].second;
        return vst3::kResultOk;
    }
    vst3::tresult VST3_API addPoint(vst3::int32 offset, vst3::ParamValue value, vst3::int32& index) override {
        index = getPointCount();
        points.emplace_back(offset, value);
        return vst3::kResultOk;
    }

    vst3::ParamID id;
    std::vector<std::pair<vst3::int32, vst3::ParamValue>> points;
};

class ParamChanges final : public HostObject<vst3::IParameterChanges> {
public:
    vst3::int32 VST3_API getParameterCount() override { return static_cast<vst3::int32>(queues.size()); }
    vst3::IParamValueQueue* VST3_API getParameterData(vst3::int32 index) override {
        return index >= 0 && index < getParameterCount() ? &queues[static_cast<std::size_t>(index)] : nullptr;
    }
    vst3::IParamValueQueue* VST3_API addParameterData(const vst3::ParamID& id, vst3::int32& index) override {
        index = getParameterCount();
        queues.emplace_back(id);
        return &queues.back();
    }
    // A point for parameter id at offset, in a queue of its own for each parameter.
    void add(vst3::ParamID id, vst3::int32 offset, double value) {
        auto queue = std::find_if(queues.begin(), queues.end(), [&](const ParamQueue& q) { return q.id == id; });
        if (queue == queues.end()) queue = queues.emplace(queues.end(), id);
        queue->points.emplace_back(offset, value);
    }

    std::vector<ParamQueue> queues;
};

class RecordingHandler : public vst3::IComponentHandler, public vst3::IUnitHandler {
public:
    vst3::tresult VST3_API queryInterface(const char* iid, void** obj) override {
        if (vst3::sameUid(iid, vst3::FUnknown::iid) || vst3::sameUid(iid, vst3::IComponentHandler::iid))
            *obj = static_cast<vst3::IComponentHandler*>(this);
        else if (vst3::sameUid(iid, vst3::IUnitHandler::iid))
            *obj = static_cast<vst3::IUnitHandler*>(this);
        else
            return *obj = nullptr, vst3::kNoInterface;
        return vst3::kResultOk;
    }
    vst3::uint32 VST3_API addRef() override { return 1; }
    vst3::uint32 VST3_API release() override { return 1; }

    vst3::tresult VST3_API beginEdit(vst3::ParamID id) override { return log("begin", id); }
    vst3::tresult VST3_API performEdit(vst3::ParamID id, vst3::ParamValue value) override {
        edits.emplace_back(id, value);
        return log("perform", id);
    }
    vst3::tresult VST3_API endEdit(vst3::ParamID id) override { return log("end", id); }
    vst3::tresult VST3_API restartComponent(vst3::int32 flags) override {
        restartFlags |= flags;
        restarts.push_back(flags);
        return vst3::kResultOk;
    }
    // How many calls of restartComponent asked for `flag`.
    long restartsWith(vst3::int32 flag) const {
        return std::count_if(restarts.begin(), restarts.end(), [&](vst3::int32 flags) { return (flags & flag) != 0; });
    }
    vst3::tresult VST3_API notifyUnitSelection(vst3::UnitID) override { return vst3::kResultOk; }
    vst3::tresult VST3_API notifyProgramListChange(vst3::ProgramListID listId, vst3::int32) override {
        programListChanges.push_back(listId);
        return vst3::kResultOk;
    }

    std::vector<std::string> calls;
    std::vector<std::pair<vst3::ParamID, double>> edits;
    vst3::int32 restartFlags = 0;
    std::vector<vst3::int32> restarts;
    std::vector<vst3::ProgramListID> programListChanges;

private:
    vst3::tresult log(const char* what, vst3::ParamID id) {
        calls.push_back(std::string(what) + " " + std::to_string(id));
        return vst3::kResultOk;
    }
};

// A plug frame with a run loop that the test turns: run() calls every registered timer, and
// every event handler whose descriptor has data waiting (readable(), given by the test).
class RunLoopFrame final : public vst3::IPlugFrame, public vst3::IRunLoop {
public:
    vst3::tresult VST3_API queryInterface(const char* iid, void** obj) override {
        if (vst3::sameUid(iid, vst3::FUnknown::iid) || vst3::sameUid(iid, vst3::IPlugFrame::iid))
            *obj = static_cast<vst3::IPlugFrame*>(this);
        else if (vst3::sameUid(iid, vst3::IRunLoop::iid))
            *obj = static_cast<vst3::IRunLoop*>(this);
        else
            return *obj = nullptr, vst3::kNoInterface;
        return vst3::kResultOk;
    }
    vst3::uint32 VST3_API addRef() override { return 1; }
    vst3::uint32 VST3_API release() override { return 1; }
    // Records each request; a frame that agrees tells the view its new size, as hosts do.
    vst3::tresult VST3_API resizeView(vst3::IPlugView* view, vst3::ViewRect* size) override {
        resizes.emplace_back(size->right - size->left, size->bottom - size->top);
        if (!acceptResize) return vst3::kResultFalse;
        view->onSize(size);
        return vst3::kResultTrue;
    }

    vst3::tresult VST3_API registerEventHandler(vst3::IEventHandler* handler, int fd) override {
        handlers.emplace_back(handler, fd);
        return vst3::kResultOk;
    }
    vst3::tresult VST3_API unregisterEventHandler(vst3::IEventHandler* handler) override {
        std::erase_if(handlers, [&](const auto& entry) { return entry.first == handler; });
        return vst3::kResultOk;
    }
    vst3::tresult VST3_API registerTimer(vst3::ITimerHandler* handler, vst3::uint64 ms) override {
        timers.emplace_back(handler, ms);
        return vst3::kResultOk;
    }
    vst3::tresult VST3_API unregisterTimer(vst3::ITimerHandler* handler) override {
        std::erase_if(timers, [&](const auto& entry) { return entry.first == handler; });
        return vst3::kResultOk;
    }

    template <typename Readable>
    void run(Readable readable) {
        for (auto [handler, fd] : std::vector(handlers))
            if (readable(fd)) handler->onFDIsSet(fd);
        for (auto [timer, ms] : std::vector(timers)) timer->onTimer();
    }

    std::vector<std::pair<vst3::IEventHandler*, int>> handlers;
    std::vector<std::pair<vst3::ITimerHandler*, vst3::uint64>> timers;
    bool acceptResize = false;
    std::vector<std::pair<int, int>> resizes;  // width and height of each request
};

// A component handler that also lends its run loop, as Linux hosts' handlers may.
class LoopingHandler final : public RecordingHandler {
public:
    vst3::tresult VST3_API queryInterface(const char* iid, void** obj) override {
        if (!vst3::sameUid(iid, vst3::IRunLoop::iid)) return RecordingHandler::queryInterface(iid, obj);
        *obj = static_cast<vst3::IRunLoop*>(&loop);
        return vst3::kResultOk;
    }
    void turn(int times = 8) { while (times-- > 0) loop.run([](int) { return false; }); }
    RunLoopFrame loop;
};
