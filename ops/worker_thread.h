#pragma once
// A worker thread that the UI thread waits for without dead-locking: while it waits, messages
// that other threads send to its windows (a dialog of the worker enabling or disabling its
// owner, for instance) are still handled, but no input is dispatched.
#include <windows.h>

#include <functional>
#include <thread>

#include "base/handles.h"

class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread() { Join(); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts `work` on a new thread; false when no thread could be started (nothing runs).
    bool Start(std::function<void()> work);
    // Returns once the work has ended.
    void Join();
    // The work has ended (or none was started); does not wait.
    bool Ended() const { return !thread_.joinable() || WaitForSingleObject(done_.get(), 0) == WAIT_OBJECT_0; }

private:
    std::thread thread_;
    UniqueHandle done_;
};
