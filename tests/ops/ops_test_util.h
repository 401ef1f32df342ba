#pragma once
// Helpers of the operation tests: trees of files, archives made and read back with the real
// 7z.exe, the program's own dialogs answered as a user would, child processes watched.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ops/archive_operations.h"
#include "ops/operation_ui.h"
#include "support/test_support.h"
#include "support/window_probe.h"

namespace opstest {

using namespace testsupport;

// Relative path (backslashes) -> content (UTF-8 names are fine: paths are wide).
using Tree = std::map<std::wstring, std::string>;

void MakeTree(const std::wstring& root, const Tree& tree);

// Packs the tree into `archive` with 7z.exe; `switches` go before the archive name.
void PackTree(const std::wstring& archive, const Tree& tree, const std::wstring& switches = L"");

// Every entry of the archive as 7z.exe lists it; folders end in "\". A wrong or missing
// password gives an empty list for an archive whose item list is encrypted.
std::vector<std::wstring> EntriesOf(const std::wstring& archive, const std::wstring& password = L"");

// Every file of the archive with its content, extracted by 7z.exe.
Tree ContentsOf(const std::wstring& archive, const std::wstring& password = L"");

// Answers the program's own dialogs (caption "Tolvane Extractor"): the password prompt is
// filled with `password` and confirmed (or cancelled when `cancelPassword`), message boxes
// are read and confirmed with `messageButton`.
class AppDialogs {
public:
    explicit AppDialogs(std::wstring password = L"", bool cancelPassword = false, int messageButton = IDOK);
    // Answers the password prompts in turn with `answers` (nothing: Cancel), and every prompt
    // after them with Cancel.
    AppDialogs(std::initializer_list<std::optional<std::wstring>> answers);
    int passwordPrompts() const { return prompts_->load(); }
    std::vector<std::wstring> messages() const;
    // What each password prompt asked, in turn.
    std::vector<std::wstring> promptTexts() const;

private:
    AppDialogs(std::function<std::optional<std::wstring>(int turn)> answer, int messageButton);
    std::shared_ptr<std::atomic<int>> prompts_;
    std::shared_ptr<std::vector<std::wstring>> messages_;
    std::shared_ptr<std::vector<std::wstring>> promptTexts_ = std::make_shared<std::vector<std::wstring>>();
    std::shared_ptr<std::mutex> lock_;
    std::unique_ptr<DialogResponder> responder_;
};

// What the archive operations had to tell the user, collected in order as the view shows it.
class Told {
public:
    // Records the outcome's messages and returns the outcome.
    OperationOutcome operator()(OperationOutcome outcome);
    const std::vector<std::wstring>& messages() const { return messages_; }
    // The result of the last outcome recorded.
    OperationResult last() const { return last_; }

private:
    std::vector<std::wstring> messages_;
    OperationResult last_ = OperationResult::Done;
};

// Presses Cancel in the progress window with this title once it has been up for `afterMs`.
class ProgressCanceller {
public:
    ProgressCanceller(const std::wstring& title, DWORD afterMs);
    bool pressed() const { return pressed_->load(); }

private:
    std::shared_ptr<std::atomic<bool>> pressed_;
    std::unique_ptr<DialogResponder> responder_;
};

// While it lives, notes how far each operation run behind a progress window got: its counters as
// they stood once its work had ended, by the window's title (the last run of each title).
class ProgressSeen final : public OperationUi {
public:
    ProgressSeen();
    ~ProgressSeen() override;
    uint64_t total(const std::wstring& title) const { return seen_.at(title).first; }
    uint64_t completed(const std::wstring& title) const { return seen_.at(title).second; }

    ProgressOutcome RunWithProgress(const wchar_t* title, const wchar_t* operationText, ProgressCounters& progress,
                                    std::function<void()> work) override;
    std::optional<std::string> AskPassword(const PasswordQuestion& question) override {
        return inner_.AskPassword(question);
    }
    bool ConfirmReplace() override { return inner_.ConfirmReplace(); }
    ReplaceAnswer AskReplace(const ReplaceQuestion& question) override { return inner_.AskReplace(question); }
    HWND OwnerWindow() override { return inner_.OwnerWindow(); }

private:
    OperationUi& inner_;
    std::map<std::wstring, std::pair<uint64_t, uint64_t>> seen_;
};

// Process ids of the running processes with this file name ("7z.exe").
std::vector<DWORD> ProcessesNamed(const std::wstring& exeName);
// The command line a process was started with (read from its memory); empty when unreadable.
std::wstring ProcessCommandLine(DWORD pid);

// Bytes of random-looking data that no compressor can shrink.
std::string IncompressibleBytes(size_t size, uint32_t seed);

}  // namespace opstest
