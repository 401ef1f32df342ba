#pragma once
// Starting tolvane.exe as the shell does, and what the tests look at around such a run.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace testsupport {

// Runs tolvane.exe with exactly this text after the program name; killed after `timeoutMs`.
ProcessResult RunProgram(const std::wstring& arguments, DWORD timeoutMs = 60000);

// A run that may open the main window: the window is closed as soon as it shows. The process
// is killed when it has not ended after `timeoutMs`.
struct InteractiveRun {
    bool started = false;
    bool timedOut = false;
    bool mainWindowShown = false;
    DWORD exitCode = 0;
};
InteractiveRun RunProgramClosingItsWindow(const std::wstring& arguments, DWORD timeoutMs = 60000);

// The three stored settings values, as raw bytes (absent values as nullopt).
struct StoredSettings {
    std::optional<std::vector<BYTE>> placement, lastPath, columnWidths;
    bool operator==(const StoredSettings&) const = default;
};
StoredSettings ReadStoredSettings();
// Stores recognisable values, as an earlier run would have.
void StoreSampleSettings();


}  // namespace testsupport
