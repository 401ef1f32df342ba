// The progress window and its close protocol with the worker.
#include "ops/progress.h"
#include "ops_test_util.h"
#include "resource.h"
#include "ui/progress_window.h"

using namespace opstest;

TEST(ProgressWindow, AWorkerThatEndsBeforeTheWindowAppearsStillClosesIt) {
    // A safety net: should the window stay, Cancel is pressed after a long while.
    ProgressCanceller safety(L"Open File", 8000);
    for (int i = 0; i < 5; ++i) {
        ProgressCounters progress;
        EXPECT_EQ(RunWithProgress(L"Open File", L"Opening File ... ", progress, [] {}), ProgressOutcome::Completed);
    }
    EXPECT_FALSE(safety.pressed());
    EXPECT_EQ(FindTopWindow(L"Open File"), nullptr);
}

TEST(ProgressWindow, LabelShowsThePercentageAsItIsAndTheTimerClosesAtCompletion) {
    std::wstring label;
    std::wstring caption;
    DialogResponder reader(L"Add Files", [&](HWND window) {
        WaitUntil([&] { return !ControlText(window, IDC_PROGRESS_LABEL).empty(); });
        label = ControlText(window, IDC_PROGRESS_LABEL);
        caption = WindowText(window);
        PressButton(window, IDCANCEL);
    });
    ProgressCounters progress;
    progress.total = 10;
    progress.completed = 12;
    EXPECT_FALSE(ShowProgress(L"Add Files", L"Adding Files ", progress));
    EXPECT_NE(progress.cancel.load(), 0) << "Cancel sets the flag of the window's own counters";
    EXPECT_EQ(label, L"Adding Files  120%");
    EXPECT_EQ(caption, L"Add Files");
    reader.stop();

    // Completed equal to total: the window closes by itself with OK.
    ProgressCanceller safety(L"Extract Files", 8000);
    ProgressCounters done;
    done.total = 5;
    done.completed = 5;
    EXPECT_TRUE(ShowProgress(L"Extract Files", L"Extracting Files ... ", done));
    EXPECT_FALSE(safety.pressed());
}

TEST(ProgressWindow, CancelWaitsForTheWorkerAndALateCloseDoesNotCloseTheNextWindow) {
    std::atomic<bool> firstEnded{false};
    std::atomic<bool> sawCancel{false};
    {
        ProgressCanceller cancel(L"Extract Files", 300);
        ProgressCounters progress;
        const ProgressOutcome outcome = RunWithProgress(L"Extract Files", L"Extracting Files ... ", progress, [&] {
            // The worker notices Cancel and ends only after its window has gone: its close
            // request comes late. Its work sees its operation's counters as its own.
            sawCancel = &WorkProgress() == &progress && WaitUntil([] { return OperationCancelled(); });
            WaitUntil([] { return FindTopWindow(L"Extract Files") == nullptr; });
            firstEnded = true;
        });
        EXPECT_EQ(outcome, ProgressOutcome::Cancelled);
        // The UI does not go on before the worker has ended.
        EXPECT_TRUE(firstEnded.load());
        EXPECT_TRUE(sawCancel.load());
    }
    // The next window stays until its own worker is done: long enough to be shown.
    std::atomic<bool> secondSawItsWindow{false};
    ProgressCounters progress;
    const ProgressOutcome second = RunWithProgress(L"Add Files", L"Adding Files ", progress, [&] {
        secondSawItsWindow = WaitUntil([] { return FindTopWindow(L"Add Files") != nullptr; });
    });
    EXPECT_EQ(second, ProgressOutcome::Completed);
    EXPECT_TRUE(secondSawItsWindow.load());
}
