#include "ops/worker_thread.h"

#include <objbase.h>

#include <iterator>
#include <new>
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

bool WorkerGroup::Start(std::function<void()> work) {
    std::list<WorkerThread> ended;
    bool started = false;
    {
        std::lock_guard<std::mutex> guard(lock_);
        // Those done already go now, so that the group does not grow with every start.
        for (auto worker = workers_.begin(); worker != workers_.end();) {
            const auto next = std::next(worker);
            if (worker->Ended()) ended.splice(ended.end(), workers_, worker);
            worker = next;
        }
        try {
            workers_.emplace_back();
        } catch (const std::bad_alloc&) {
            return false;
        }
        started = workers_.back().Start(std::move(work));
        if (!started) workers_.pop_back();
    }
    return started;  // the ended ones are joined here, outside the lock
}

void WorkerGroup::JoinAll() {
    std::list<WorkerThread> running;
    {
        std::lock_guard<std::mutex> guard(lock_);
        running.swap(workers_);
    }
    for (WorkerThread& worker : running) worker.Join();
}

namespace {

WorkerGroup& BackgroundGroup() {
    static WorkerGroup group;
    return group;
}

}  // namespace

bool StartBackgroundWork(std::function<void()> work) { return BackgroundGroup().Start(std::move(work)); }

void JoinBackgroundWork() { BackgroundGroup().JoinAll(); }
