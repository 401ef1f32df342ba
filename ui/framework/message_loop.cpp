#include "ui/framework/message_loop.h"

#include <algorithm>

namespace ui {

AppModule g_module;

void MessageLoop::AddMessageFilter(MessageFilter* filter) { filters_.push_back(filter); }

void MessageLoop::RemoveMessageFilter(MessageFilter* filter) {
    filters_.erase(std::remove(filters_.begin(), filters_.end(), filter), filters_.end());
}

bool MessageLoop::PreTranslateMessage(MSG* message) {
    // A filter may unregister itself while handling; walk a copy.
    const std::vector<MessageFilter*> filters = filters_;
    for (auto it = filters.rbegin(); it != filters.rend(); ++it)
        if ((*it)->PreTranslateMessage(message)) return true;
    return false;
}

int MessageLoop::Run() {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) continue;
        if (!got) break;
        if (!PreTranslateMessage(&message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

bool AppModule::AddMessageLoop(MessageLoop* loop) {
    const DWORD thread = GetCurrentThreadId();
    for (const Entry& e : loops_)
        if (e.threadId == thread) return false;
    loops_.push_back({thread, loop});
    return true;
}

void AppModule::RemoveMessageLoop() {
    const DWORD thread = GetCurrentThreadId();
    loops_.erase(std::remove_if(loops_.begin(), loops_.end(), [&](const Entry& e) { return e.threadId == thread; }),
                 loops_.end());
}

MessageLoop* AppModule::GetMessageLoop() const {
    const DWORD thread = GetCurrentThreadId();
    for (const Entry& e : loops_)
        if (e.threadId == thread) return e.loop;
    return nullptr;
}

}  // namespace ui
