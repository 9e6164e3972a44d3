#include "OutputLatency.h"

#include <dlfcn.h>
#include <pulse/pulseaudio.h>
#include <time.h>

#include <cstdio>
#include <cstring>

namespace {

// The client library is loaded at run time, only where SDL plays through a
// server that speaks its protocol: the program needs no sound server's
// library to start.
struct PulseLibrary {
    decltype(&pa_mainloop_new) mainloopNew = nullptr;
    decltype(&pa_mainloop_get_api) mainloopApi = nullptr;
    decltype(&pa_mainloop_iterate) iterate = nullptr;
    decltype(&pa_mainloop_free) mainloopFree = nullptr;
    decltype(&pa_context_new) contextNew = nullptr;
    decltype(&pa_context_connect) connect = nullptr;
    decltype(&pa_context_get_state) state = nullptr;
    decltype(&pa_context_get_server_info) serverInfo = nullptr;
    decltype(&pa_context_get_sink_info_by_name) sinkInfo = nullptr;
    decltype(&pa_operation_get_state) operationState = nullptr;
    decltype(&pa_operation_unref) operationUnref = nullptr;
    decltype(&pa_context_disconnect) disconnect = nullptr;
    decltype(&pa_context_unref) contextUnref = nullptr;

    template <typename F>
    static bool Find(void* library, const char* name, F& function) {
        function = reinterpret_cast<F>(dlsym(library, name));
        return function != nullptr;
    }

    bool Load() {
        void* library = dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
        return library && Find(library, "pa_mainloop_new", mainloopNew) &&
               Find(library, "pa_mainloop_get_api", mainloopApi) && Find(library, "pa_mainloop_iterate", iterate) &&
               Find(library, "pa_mainloop_free", mainloopFree) && Find(library, "pa_context_new", contextNew) &&
               Find(library, "pa_context_connect", connect) && Find(library, "pa_context_get_state", state) &&
               Find(library, "pa_context_get_server_info", serverInfo) &&
               Find(library, "pa_context_get_sink_info_by_name", sinkInfo) &&
               Find(library, "pa_operation_get_state", operationState) &&
               Find(library, "pa_operation_unref", operationUnref) &&
               Find(library, "pa_context_disconnect", disconnect) && Find(library, "pa_context_unref", contextUnref);
    }
};

// A server that does not answer within this long is left unasked.
constexpr double kPatience = 0.5;

double Seconds() {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct SinkAnswer {
    bool answered = false;
    std::string defaultSink;
    pa_usec_t latency = 0;
    std::string name;
};

class PulseQuery {
public:
    explicit PulseQuery(const PulseLibrary& pulse) : mPulse(pulse), mLoop(pulse.mainloopNew()) {
        mContext = mPulse.contextNew(mPulse.mainloopApi(mLoop), "kestrel");
    }
    ~PulseQuery() {
        if (mContext) {
            mPulse.disconnect(mContext);
            mPulse.contextUnref(mContext);
        }
        mPulse.mainloopFree(mLoop);
    }
    PulseQuery(const PulseQuery&) = delete;
    PulseQuery& operator=(const PulseQuery&) = delete;

    // The default sink's latency, as the server reports it now.
    bool SinkLatency(SinkAnswer& answer) {
        if (!mContext || mPulse.connect(mContext, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) return false;
        if (!Await([this] { return mPulse.state(mContext) == PA_CONTEXT_READY; })) return false;
        if (!Finish(mPulse.serverInfo(mContext, OnServer, &answer)) || answer.defaultSink.empty()) return false;
        return Finish(mPulse.sinkInfo(mContext, answer.defaultSink.c_str(), OnSink, &answer)) && answer.answered;
    }

private:
    static void OnServer(pa_context*, const pa_server_info* info, void* answer) {
        if (info && info->default_sink_name) static_cast<SinkAnswer*>(answer)->defaultSink = info->default_sink_name;
    }
    static void OnSink(pa_context*, const pa_sink_info* info, int, void* answer) {
        if (!info) return;
        auto* sink = static_cast<SinkAnswer*>(answer);
        sink->answered = true;
        // The latency the server keeps the sink at for its streams; its
        // reading of the moment swings with the sink's fill (a null sink's by
        // seconds), and only a sink that sets none lacks the first.
        sink->latency = info->configured_latency > 0 ? info->configured_latency : info->latency;
        sink->name = info->name ? info->name : "";
    }
    template <typename Done>
    bool Await(Done done) {
        const double until = Seconds() + kPatience;
        while (!done()) {
            const pa_context_state_t state = mPulse.state(mContext);
            if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED || Seconds() > until) return false;
            if (mPulse.iterate(mLoop, 0, nullptr) < 0) return false;
            if (!done()) {
                const struct timespec pause = {0, 1000000};
                nanosleep(&pause, nullptr);
            }
        }
        return true;
    }
    bool Finish(pa_operation* operation) {
        if (!operation) return false;
        const bool done = Await([&] { return mPulse.operationState(operation) != PA_OPERATION_RUNNING; });
        mPulse.operationUnref(operation);
        return done;
    }

    const PulseLibrary& mPulse;
    pa_mainloop* mLoop;
    pa_context* mContext = nullptr;
};

bool ServerSpeaksPulse(const char* driver) {
    return driver && (strcmp(driver, "pulseaudio") == 0 || strcmp(driver, "pipewire") == 0);
}

std::string Milliseconds(double seconds) {
    char text[32];
    snprintf(text, sizeof text, "%.1f ms", seconds * 1000.0);
    return text;
}

}  // namespace

OutputLatency MeasureOutputLatency(int bufferFrames, int rate, const char* driver) {
    OutputLatency latency;
    latency.seconds = rate > 0 ? static_cast<double>(bufferFrames) / rate : 0.0;
    latency.source = "SDL's device buffer of " + std::to_string(bufferFrames) + " frames at " + std::to_string(rate) +
                     " Hz (" + Milliseconds(latency.seconds) + ", the " + (driver ? driver : "unnamed") + " driver)";
    if (!ServerSpeaksPulse(driver)) return latency;
    PulseLibrary pulse;
    SinkAnswer sink;
    if (!pulse.Load() || !PulseQuery(pulse).SinkLatency(sink)) {
        latency.source += "; the sound server did not say its own";
        return latency;
    }
    const double server = static_cast<double>(sink.latency) * 1e-6;
    latency.seconds += server;
    latency.source += " and the sound server's " + Milliseconds(server) + " (sink " + sink.name + ")";
    return latency;
}
