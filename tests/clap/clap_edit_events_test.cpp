// The editor's gestures as the events a CLAP host receives: one begin, the values, one end per
// gesture, whatever the nesting; nothing for the preset bar's controls; an editor that goes
// ends what it left open; a full queue keeps the oldest events rather than overwriting them.
#include <gtest/gtest.h>

#include <vector>

#include "clap/clap_abi.h"
#include "clap/edit_events.h"

namespace {

using chordwell_clap::EditEvent;
using chordwell_clap::EditEvents;
using chordwell_clap::OutputEventQueue;

constexpr std::uint16_t B = clap::kEventParamGestureBegin, V = clap::kEventParamValue, E = clap::kEventParamGestureEnd;

struct Action {
    char kind;  // 'b' began, 'e' ended, 'c' changed, 'x' the editor went
    VstInt32 index;
    double value = 0.0;
};

struct Expected {
    std::uint16_t type;
    std::uint32_t param;
    double value = 0.0;
};

std::vector<Expected> drain(OutputEventQueue& queue) {
    std::vector<Expected> events;
    EditEvent event{};
    while (queue.peek(event)) {
        events.push_back({event.type, event.param, event.value});
        queue.pop();
    }
    return events;
}

TEST(ClapEditEvents, EachGestureIsOneBeginItsValuesAndOneEnd) {
    struct Case {
        const char* what;
        std::vector<Action> actions;
        std::vector<Expected> events;
    };
    const Case cases[] = {
        {"a change outside a gesture", {{'c', 2, 0.5}}, {{B, 2}, {V, 2, 0.5}, {E, 2}}},
        {"a drag", {{'b', 2}, {'c', 2, 0.1}, {'c', 2, 0.2}, {'e', 2}}, {{B, 2}, {V, 2, 0.1}, {V, 2, 0.2}, {E, 2}}},
        {"nested brackets", {{'b', 4}, {'b', 4}, {'c', 4, 3.0}, {'e', 4}, {'e', 4}}, {{B, 4}, {V, 4, 3.0}, {E, 4}}},
        {"two parameters at once", {{'b', 0}, {'b', 1}, {'c', 1, 0.3}, {'e', 0}, {'e', 1}},
         {{B, 0}, {B, 1}, {V, 1, 0.3}, {E, 0}, {E, 1}}},
        {"the preset bar's buttons", {{'b', -1}, {'b', 100}, {'e', 100}, {'e', -1}}, {}},
        {"the editor goes mid-gesture", {{'b', 3}, {'c', 3, 0.4}, {'x', 0}, {'e', 3}}, {{B, 3}, {V, 3, 0.4}, {E, 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OutputEventQueue queue;
        int announced = 0;
        EditEvents events(queue, [](void* count) { ++*static_cast<int*>(count); }, &announced);
        for (const Action& a : c.actions) {
            if (a.kind == 'b') events.gestureBegan(a.index);
            if (a.kind == 'e') events.gestureEnded(a.index);
            if (a.kind == 'c') events.changed(a.index, a.value);
            if (a.kind == 'x') events.endAll();
        }
        const std::vector<Expected> got = drain(queue);
        ASSERT_EQ(got.size(), c.events.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].type, c.events[i].type) << i;
            EXPECT_EQ(got[i].param, c.events[i].param) << i;
            EXPECT_EQ(got[i].value, c.events[i].value) << i;
        }
        // The host is asked to take the events once there are any to take.
        EXPECT_EQ(announced > 0, !c.events.empty());
    }
}

TEST(ClapEditEvents, AFullQueueKeepsTheOldestEvents) {
    OutputEventQueue queue;
    for (std::uint32_t i = 0; i < OutputEventQueue::kCapacity + 10; ++i)
        queue.push(EditEvent{V, i % 8, static_cast<double>(i)});
    const std::vector<Expected> got = drain(queue);
    ASSERT_EQ(got.size(), OutputEventQueue::kCapacity);
    EXPECT_EQ(got.front().value, 0.0);
    EXPECT_EQ(got.back().value, static_cast<double>(OutputEventQueue::kCapacity - 1));
}

}  // namespace
