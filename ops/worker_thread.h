#pragma once
// The one way the program runs work beside the UI thread: a worker thread that its owner joins
// before what the work uses goes away. The UI thread waits for it without dead-locking: while it
// waits, messages that other threads send to its windows (a dialog of the worker enabling or
// disabling its owner, for instance) are still handled, but no input is dispatched.
#include <windows.h>

#include <functional>
#include <list>
#include <mutex>
#include <thread>

#include "base/handles.h"

class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread() { Join(); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts `work` on a new thread (COM ready on it); false when no thread could be started
    // (nothing runs). A worker started before is joined first.
    bool Start(std::function<void()> work);
    // Returns once the work has ended.
    void Join();
    // The work has ended (or none was started); does not wait.
    bool Ended() const { return !thread_.joinable() || WaitForSingleObject(done_.get(), 0) == WAIT_OBJECT_0; }

private:
    std::thread thread_;
    UniqueHandle done_;
};

// Workers that nobody waits for one by one: each runs to its own end, and JoinAll (or the
// group's end) waits for those still at work. Safe from any thread.
class WorkerGroup {
public:
    WorkerGroup() = default;
    ~WorkerGroup() { JoinAll(); }
    WorkerGroup(const WorkerGroup&) = delete;
    WorkerGroup& operator=(const WorkerGroup&) = delete;

    // Starts `work` on a worker of the group; false when no thread could be started.
    bool Start(std::function<void()> work);
    void JoinAll();

private:
    std::mutex lock_;
    std::list<WorkerThread> workers_;
};

// Runs `work` on a worker of the process's background group (the end of a large engine
// session, which the engine hands over through its hook); false when it cannot (the caller then
// does the work itself).
bool StartBackgroundWork(std::function<void()> work);
// Waits for every piece of background work still going on: before the program ends.
void JoinBackgroundWork();
