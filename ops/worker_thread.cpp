#include "ops/worker_thread.h"

#include <objbase.h>

#include <system_error>

bool WorkerThread::Start(std::function<void()> work) {
    Join();
    done_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done_) return false;
    HANDLE done = done_.get();
    try {
        thread_ = std::thread([work = std::move(work), done] {
            // The shell queries and dialogs of an operation may need COM on this thread too.
            const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            try {
                work();
            } catch (...) {
                // Out of memory in the middle of an operation ends that operation, not the program.
            }
            if (SUCCEEDED(com)) CoUninitialize();
            SetEvent(done);
        });
    } catch (const std::system_error&) {
        done_.reset();
        return false;
    }
    return true;
}

void WorkerThread::Join() {
    if (!thread_.joinable()) return;
    HANDLE done = done_.get();
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_SENDMESSAGE);
        if (woke != WAIT_OBJECT_0 + 1) break;
        // Handles the messages sent to this thread's windows; posted ones stay queued.
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    thread_.join();
    done_.reset();
}
