#include "engine/engine_events.h"

#include <atomic>

namespace {

std::atomic<EngineEventHandler> g_handler{nullptr};

}  // namespace

EngineEventHandler SetEngineEventHandler(EngineEventHandler handler) { return g_handler.exchange(handler); }

int OnEngineEvent(int32_t kind, void* data, uint32_t capacity) {
    if (const EngineEventHandler handler = g_handler.load()) return handler(kind, data, capacity);
    return kind == kEnginePasswordRequest ? 1 : 0;
}
