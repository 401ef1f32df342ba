#include "engine/engine_events.h"

#include <atomic>

namespace {

std::atomic<EngineEventHandler> g_handler{nullptr};
std::atomic<BackgroundRunner> g_runner{nullptr};
thread_local ProgressCounters* t_progress = nullptr;

}  // namespace

EngineEventHandler SetEngineEventHandler(EngineEventHandler handler) { return g_handler.exchange(handler); }

ProgressCounters* ThisThreadProgress() { return t_progress; }

ProgressOnThisThread::ProgressOnThisThread(ProgressCounters& counters) : before_(t_progress) { t_progress = &counters; }

ProgressOnThisThread::~ProgressOnThisThread() { t_progress = before_; }

int OnEngineEvent(ProgressCounters* progress, int32_t kind, void* data, uint32_t capacity) {
    if (const EngineEventHandler handler = g_handler.load()) return handler(progress, kind, data, capacity);
    return kind == kEnginePasswordRequest ? 1 : 0;
}

BackgroundRunner SetEngineBackgroundRunner(BackgroundRunner runner) { return g_runner.exchange(runner); }

bool RunEngineWorkInBackground(std::function<void()> work) {
    const BackgroundRunner runner = g_runner.load();
    return runner && runner(std::move(work));
}
