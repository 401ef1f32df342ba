#pragma once
// Reads what the archiver prints, line by line, and answers its prompts. It keeps the start of
// an unfinished line across reads, so a prompt that arrives in pieces (the waiting prompt has no
// line end yet) is still recognised. Everything outside it goes through callbacks, so the same
// code serves the real runs and the tests.
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class OperationState : int32_t;

struct ToolDialogue {
    // Asks the user for a password (UTF-8); nullopt when the user cancels. `again`: a password
    // given in this stage of the run was wrong.
    std::function<std::optional<std::string>(bool again)> askPassword;
    // Asks whether an existing file may be replaced.
    std::function<bool()> confirmReplace;
    // Writes an answer to the archiver's input.
    std::function<void(std::string_view)> answer;
    // One more file done (adds only): counted once the archiver has gone past it.
    std::function<void()> countProgress;
    // How far the archiver is, in percent (when it was asked to print it).
    std::function<void(int)> reportPercent;
    // Every line, for the debugger (optional).
    std::function<void(std::string_view)> traceLine;
};

inline constexpr std::string_view kPasswordPrompt = "Enter password (will not be echoed):";
inline constexpr std::string_view kReplacePrompt =
    "(Y)es / (N)o / (A)lways / (S)kip all / A(u)to rename all / (Q)uit?";

class ToolOutputInterpreter {
public:
    // `knownPassword` (UTF-8, may be empty) answers the first password prompt of each stage of
    // the run (opening the archive, writing it); a second prompt in a stage asks the user.
    // `yesToAll` is the catalogue's flag, set once the user agreed to replace files.
    ToolOutputInterpreter(OperationState state, std::string knownPassword, std::atomic<int32_t>& yesToAll,
                          ToolDialogue dialogue);

    // One piece of output, as read (any length, lines may be split anywhere).
    void InterpretToolOutput(std::string_view chunk);
    // The output has ended: an unfinished last line counts as a line.
    void Finish();

    // The user cancelled a password prompt or declined to replace a file: the run must end
    // (a declined replace question has already been answered with "quit").
    bool declined() const { return declined_; }
    // The password the user typed during this run, if any.
    const std::optional<std::string>& typedPassword() const { return typedPassword_; }
    // The archiver said it had finished its work ("Everything is Ok"). A run that ended
    // without it did not finish, whatever its exit code (a killed process may end with 0).
    bool reportedSuccess() const { return reportedSuccess_; }
    // What it printed apart from file names and progress: where the cause of a failure is.
    const std::vector<std::string>& report() const { return report_; }

private:
    void completeLine();
    void countFinishedFile();
    void answerPrompts();

    OperationState state_;
    std::string knownPassword_;
    bool passwordTriedInStage_ = false;
    std::atomic<int32_t>& yesToAll_;
    ToolDialogue dialogue_;
    std::string line_;               // the start of the current line (capped)
    size_t lineLength_ = 0;          // its true length so far
    bool lineAnswered_ = false;      // a prompt on the current line was answered already
    bool declined_ = false;
    bool fileInProgress_ = false;    // a file was named and not yet counted
    std::optional<std::string> typedPassword_;
    bool reportedSuccess_ = false;
    std::vector<std::string> report_;  // capped
};
