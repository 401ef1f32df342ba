#include "program_run.h"

#include <cstring>

#include "support/window_probe.h"

namespace testsupport {

namespace {
constexpr wchar_t kSettingsKey[] = L"Software\\Tolvane Extractor";
constexpr wchar_t kMainWindowTitle[] = L"Tolvane Extractor - Ver 1.0";

std::optional<std::vector<BYTE>> ReadRawValue(HKEY key, const wchar_t* name) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    std::vector<BYTE> bytes(size + 4);
    bytes[0] = static_cast<BYTE>(type);
    size = static_cast<DWORD>(bytes.size() - 4);
    if (RegQueryValueExW(key, name, nullptr, &type, bytes.data() + 4, &size) != ERROR_SUCCESS) return std::nullopt;
    bytes.resize(size + 4);
    return bytes;
}
}  // namespace

ProcessResult RunProgram(const std::wstring& arguments, DWORD timeoutMs) {
    return RunProcess(Quote(ProgramExe()) + L" " + arguments, L"", timeoutMs);
}

InteractiveRun RunProgramClosingItsWindow(const std::wstring& arguments, DWORD timeoutMs) {
    InteractiveRun run;
    DWORD pid = 0;
    HANDLE process = StartProcess(Quote(ProgramExe()) + L" " + arguments, &pid);
    if (!process) return run;
    run.started = true;
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(process, 100) == WAIT_TIMEOUT) {
        if (HWND window = FindTopWindow(kMainWindowTitle, pid)) {
            run.mainWindowShown = true;
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        if (GetTickCount() - start > timeoutMs) {
            run.timedOut = true;
            TerminateProcess(process, 999);
            WaitForSingleObject(process, 10000);
            break;
        }
    }
    GetExitCodeProcess(process, &run.exitCode);
    CloseHandle(process);
    return run;
}

StoredSettings ReadStoredSettings() {
    StoredSettings stored;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return stored;
    stored.placement = ReadRawValue(key, L"MAIN_WP");
    stored.lastPath = ReadRawValue(key, L"last_path");
    stored.columnWidths = ReadRawValue(key, L"column_width");
    RegCloseKey(key);
    return stored;
}

void StoreSampleSettings() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    placement.showCmd = SW_SHOWNORMAL;
    placement.rcNormalPosition = {33, 44, 555, 466};
    RegSetValueExW(key, L"MAIN_WP", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&placement), sizeof(placement));
    const wchar_t lastPath[] = L"Z:\\nowhere\\earlier.zip";
    RegSetValueExW(key, L"last_path", 0, REG_SZ, reinterpret_cast<const BYTE*>(lastPath),
                   static_cast<DWORD>(wcslen(lastPath) * 2));
    int32_t widths[32];
    for (int i = 0; i < 32; ++i) widths[i] = 100 + i;
    RegSetValueExW(key, L"column_width", 0, REG_BINARY, reinterpret_cast<const BYTE*>(widths), sizeof(widths));
    RegCloseKey(key);
}

}  // namespace testsupport
