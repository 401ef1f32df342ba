#pragma once
// The UI thread's message loop with message filters (pre-translation), and the application
// module that knows the loop of each thread.
#include <windows.h>

#include <vector>

namespace ui {

class MessageFilter {
public:
    virtual ~MessageFilter() = default;
    // True when the message was consumed and must not be dispatched.
    virtual BOOL PreTranslateMessage(MSG* message) = 0;
};

class MessageLoop {
public:
    void AddMessageFilter(MessageFilter* filter);
    void RemoveMessageFilter(MessageFilter* filter);

    // Runs until WM_QUIT; returns its exit code.
    int Run();

    // Filters run newest first, like nested windows: the last registered sees messages first.
    bool PreTranslateMessage(MSG* message);

private:
    std::vector<MessageFilter*> filters_;
};

// Knows the message loop of each UI thread.
class AppModule {
public:
    bool AddMessageLoop(MessageLoop* loop);
    void RemoveMessageLoop();
    MessageLoop* GetMessageLoop() const;

private:
    struct Entry {
        DWORD threadId;
        MessageLoop* loop;
    };
    std::vector<Entry> loops_;
};

extern AppModule g_module;

}  // namespace ui
