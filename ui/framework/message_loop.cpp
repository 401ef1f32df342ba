#include "ui/framework/message_loop.h"

#include <algorithm>

namespace ui {

AppModule g_module;

void MessageLoop::AddMessageFilter(MessageFilter* filter) { filters_.push_back(filter); }

void MessageLoop::RemoveMessageFilter(MessageFilter* filter) {
    filters_.erase(std::remove(filters_.begin(), filters_.end(), filter), filters_.end());
}

void MessageLoop::AddIdleHandler(IdleHandler* handler) { idleHandlers_.push_back(handler); }

void MessageLoop::RemoveIdleHandler(IdleHandler* handler) {
    idleHandlers_.erase(std::remove(idleHandlers_.begin(), idleHandlers_.end(), handler), idleHandlers_.end());
}

bool MessageLoop::PreTranslateMessage(MSG* message) {
    // A filter may unregister itself while handling; walk a copy.
    const std::vector<MessageFilter*> filters = filters_;
    for (auto it = filters.rbegin(); it != filters.rend(); ++it)
        if ((*it)->PreTranslateMessage(message)) return true;
    return false;
}

bool MessageLoop::OnIdle() {
    const std::vector<IdleHandler*> handlers = idleHandlers_;
    bool more = false;
    for (IdleHandler* handler : handlers)
        if (handler->OnIdle()) more = true;
    return more;
}

bool MessageLoop::IsIdleMessage(const MSG& message) {
    // Mouse moves and caret blinks alone do not call for a new idle pass.
    switch (message.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case 0x0118:  // the system's caret-blink timer
        return false;
    }
    return true;
}

int MessageLoop::Run() {
    bool doIdle = true;
    MSG message{};
    for (;;) {
        while (doIdle && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle()) doIdle = false;
        }
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) continue;
        if (!got) break;
        if (!PreTranslateMessage(&message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (IsIdleMessage(message)) doIdle = true;
    }
    return static_cast<int>(message.wParam);
}

bool AppModule::Init(HINSTANCE) { return true; }

void AppModule::Term() { loops_.clear(); }

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
