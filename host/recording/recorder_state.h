// The recorder's state shared by its parts: the devices it has wrapped and
// the recording under way, under one lock. Nothing here writes a statement.
#pragma once

#include <map>
#include <memory>
#include <mutex>

#include "host/recording/session.h"

struct Recorder_State {
    std::mutex mutex;
    // Null when nothing is being recorded.
    std::unique_ptr<Recording_Session> session;
    uint64_t sessions = 0;
    std::map<HT_Renderer_Data*, std::unique_ptr<Recorded_Device>> devices;

    // The recording that writes the device's calls, or null.
    Recording_Session* recording(const Recorded_Device& device) const {
        return session != nullptr && device.session == session->id() ? session.get() : nullptr;
    }
    Recorded_Device* find(HT_Renderer_Data* object) const {
        auto found = devices.find(object);
        return found != devices.end() ? found->second.get() : nullptr;
    }
};

// The one state of the process; never destroyed, so that device threads
// that outlive main still find it.
Recorder_State& recorder_state();

// Puts a recording wrapper in each entry of the device's action table that
// the trace language has a statement for (action_hooks.cpp).
void wrap_actions(HT_Device_Data* device);
