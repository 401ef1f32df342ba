#pragma once
// What the archive operations need from the user interface. The operations run the work, the
// user interface shows and asks: it implements this interface and installs it at start-up.
// Without one, work runs on the calling thread and every question is answered "no".
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "engine/engine_events.h"
#include "ops/progress.h"

// What a password prompt says: the archive the password is for, and whether the password given
// for it just now was wrong.
struct PasswordQuestion {
    std::wstring archiveName;  // its file name; empty when not known
    bool again = false;
};

class OperationUi {
public:
    virtual ~OperationUi() = default;
    // Runs `work` on a worker thread while a progress window titled `title` shows
    // `operationText` and how far `progress` is (its Cancel sets `progress.cancel`); returns once
    // the worker has ended.
    virtual ProgressOutcome RunWithProgress(const wchar_t* title, const wchar_t* operationText,
                                            ProgressCounters& progress, std::function<void()> work) = 0;
    // Asks for a password (on any thread); nothing when the user cancels. UTF-8.
    virtual std::optional<std::string> AskPassword(const PasswordQuestion& question) = 0;
    // Asks whether an existing file may be replaced (on any thread).
    virtual bool ConfirmReplace() = 0;
    // Asks what an extraction does with a file already where an item is to be written: Yes,
    // No, Yes to all, No to all, Rename or Cancel (on any thread).
    virtual ReplaceAnswer AskReplace(const ReplaceQuestion& question) = 0;
    // The window that owns what the shell shows when it opens an extracted entry.
    virtual HWND OwnerWindow() = 0;
};

// Installs `ui` for every later operation (null: none), the engine's event handler that
// reports progress, stops on Cancel and asks for passwords through it, and the engine's runner of
// background work (StartBackgroundWork). `ui` must outlive its use.
void InstallOperationUi(OperationUi* ui);

// The installed interface, or the one that shows nothing and asks nobody.
OperationUi& CurrentOperationUi();

// What the password prompts of the running operation (one at a time) say; set by the operation
// before its work asks (the engine through its event hook, the archiver through its prompt).
void SetPasswordQuestion(PasswordQuestion question);
PasswordQuestion CurrentPasswordQuestion();

// While it lives, the password prompts name the archive at `archivePath`; the question before
// comes back at its end.
class PasswordQuestionFor {
public:
    explicit PasswordQuestionFor(const std::wstring& archivePath);
    ~PasswordQuestionFor();
    PasswordQuestionFor(const PasswordQuestionFor&) = delete;
    PasswordQuestionFor& operator=(const PasswordQuestionFor&) = delete;
    // The password given just now was wrong: the next prompt says so.
    void Again();

private:
    PasswordQuestion before_;
    std::wstring archiveName_;
};
