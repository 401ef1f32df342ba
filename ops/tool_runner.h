#pragma once
// One run of the archiver: started directly with its output going to a file that the output
// interpreter reads while the archiver runs, its prompts answered on its input.
#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ops/tool_command_line.h"
#include "ops/tool_output_interpreter.h"

struct ToolRunSettings {
    OperationState state{};
    std::string knownPassword;                     // UTF-8; answers the first password prompt
    std::atomic<int32_t>* yesToAll = nullptr;      // the catalogue's flag
    std::atomic<int32_t>* cancel = nullptr;        // set: the running archiver is ended
    std::function<std::optional<std::string>(bool again)> askPassword;  // `again`: the last one was wrong
    std::function<bool()> confirmReplace;
    std::function<void()> countProgress;
    std::function<void(int)> reportPercent;
};

struct ToolRunResult {
    bool started = false;    // the archiver ran
    bool stopped = false;    // it was ended early: Cancel, or the user declined a prompt
    DWORD exitCode = 0;      // its exit code when it ended by itself
    bool reportedSuccess = false;        // it said it had finished ("Everything is Ok")
    std::vector<std::string> report;     // what it printed apart from names and progress
    std::optional<std::string> typedPassword;  // a password the user typed during the run
    // An archiver killed from outside may end with 0, so its own words count too.
    bool succeeded() const { return started && !stopped && exitCode == 0 && reportedSuccess; }
};

// Runs the command and returns when the archiver has ended and its output has been read.
// The names go to a list file of their own in the temporary base, removed after the run.
ToolRunResult RunTool(const ToolCommandLine& command, const ToolRunSettings& settings);
