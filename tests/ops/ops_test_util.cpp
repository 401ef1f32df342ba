#include "ops_test_util.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <mutex>

namespace opstest {

void MakeTree(const std::wstring& root, const Tree& tree) {
    for (const auto& [relative, content] : tree) {
        if (!relative.empty() && relative.back() == L'\\') {
            const std::wstring probe = root + L"\\" + relative + L"probe";
            WriteFileBytes(probe, "");
            DeleteFileW(probe.c_str());
        } else {
            WriteFileBytes(root + L"\\" + relative, content);
        }
    }
}

void PackTree(const std::wstring& archive, const Tree& tree, const std::wstring& switches) {
    TempDir source(L"pack");
    MakeTree(source.path(), tree);
    const ProcessResult r = Run7z(L"a -y " + switches + L" " + Quote(archive) + L" *", source.path());
    ASSERT_TRUE(r.started);
    ASSERT_EQ(r.exitCode, 0u) << r.output;
}

std::vector<std::wstring> EntriesOf(const std::wstring& archive, const std::wstring& password) {
    // A password is always given, so that 7z.exe never waits for one on its input.
    const std::wstring pass = password.empty() ? L"-pnone" : Quote(L"-p" + password);
    const ProcessResult r = Run7z(L"l -slt -sccUTF-8 " + pass + L" -- " + Quote(archive));
    std::vector<std::wstring> entries;
    const std::string& out = r.output;
    const size_t items = out.find("\n----------");
    if (items == std::string::npos) return entries;
    size_t pos = items;
    std::wstring current;
    while (pos < out.size()) {
        size_t end = out.find('\n', pos + 1);
        if (end == std::string::npos) end = out.size();
        std::string line = out.substr(pos + 1, end - pos - 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("Path = ", 0) == 0) {
            if (!current.empty()) entries.push_back(current);
            current = Widen(line.substr(7));
        } else if ((line == "Folder = +" || line.rfind("Attributes = D", 0) == 0) && !current.empty() &&
                   current.back() != L'\\') {
            current += L"\\";
        }
        pos = end;
    }
    if (!current.empty()) entries.push_back(current);
    std::sort(entries.begin(), entries.end());
    return entries;
}

Tree ContentsOf(const std::wstring& archive, const std::wstring& password) {
    TempDir out(L"contents");
    const std::wstring pass = password.empty() ? L"-pnone" : Quote(L"-p" + password);
    Run7z(L"x -y " + pass + L" " + Quote(L"-o" + out.path()) + L" -- " + Quote(archive));
    Tree tree;
    for (const std::wstring& file : ListFilesRecursive(out.path())) tree[file] = ReadFileBytes(out / file);
    return tree;
}

AppDialogs::AppDialogs(std::wstring password, bool cancelPassword, int messageButton)
    : AppDialogs([=](int) { return cancelPassword ? std::nullopt : std::optional<std::wstring>(password); },
                 messageButton) {}

AppDialogs::AppDialogs(std::initializer_list<std::optional<std::wstring>> list)
    : AppDialogs(
          [answers = std::vector<std::optional<std::wstring>>(list)](int turn) {
              return static_cast<size_t>(turn) < answers.size() ? answers[turn] : std::nullopt;
          },
          IDOK) {}

AppDialogs::AppDialogs(std::function<std::optional<std::wstring>(int turn)> answer, int messageButton)
    : prompts_(std::make_shared<std::atomic<int>>(0)),
      messages_(std::make_shared<std::vector<std::wstring>>()),
      lock_(std::make_shared<std::mutex>()) {
    auto prompts = prompts_;
    auto messages = messages_;
    auto texts = promptTexts_;
    auto lock = lock_;
    responder_ = std::make_unique<DialogResponder>(L"Tolvane Extractor", [=](HWND window) {
        std::lock_guard<std::mutex> guard(*lock);
        if (GetDlgItem(window, 1004)) {  // the password prompt: its question is read, then answered
            texts->push_back(ControlText(window, 1213));
            const std::optional<std::wstring> password = answer((*prompts)++);
            if (!password) return PressButton(window, IDCANCEL);
            SetControlText(window, 1004, *password);
            return PressButton(window, IDOK);
        }
        messages->push_back(MessageBoxText(window));
        // A message box: its buttons are commands like any dialog's.
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(messageButton, BN_CLICKED), 0);
    });
}

std::vector<std::wstring> AppDialogs::promptTexts() const {
    std::lock_guard<std::mutex> guard(*lock_);
    return *promptTexts_;
}

std::vector<std::wstring> AppDialogs::messages() const {
    std::lock_guard<std::mutex> guard(*lock_);
    return *messages_;
}

OperationOutcome Told::operator()(OperationOutcome outcome) {
    messages_.insert(messages_.end(), outcome.messages.begin(), outcome.messages.end());
    last_ = outcome.result;
    return outcome;
}

ProgressSeen::ProgressSeen() : inner_(CurrentOperationUi()) { InstallOperationUi(this); }

ProgressSeen::~ProgressSeen() { InstallOperationUi(&inner_); }

ProgressOutcome ProgressSeen::RunWithProgress(const wchar_t* title, const wchar_t* operationText,
                                              ProgressCounters& progress, std::function<void()> work) {
    const ProgressOutcome outcome = inner_.RunWithProgress(title, operationText, progress, std::move(work));
    seen_[title] = {progress.total.load(), progress.completed.load()};
    return outcome;
}

ProgressCanceller::ProgressCanceller(const std::wstring& title, DWORD afterMs)
    : pressed_(std::make_shared<std::atomic<bool>>(false)) {
    auto pressed = pressed_;
    responder_ = std::make_unique<DialogResponder>(title, [afterMs, pressed](HWND window) {
        // Unless it closes by itself within `afterMs`.
        if (WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, afterMs)) return;
        PressButton(window, IDCANCEL);
        *pressed = true;
    });
}

std::vector<DWORD> ProcessesNamed(const std::wstring& exeName) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    if (Process32FirstW(snapshot, &entry)) {
        do {
            if (lstrcmpiW(entry.szExeFile, exeName.c_str()) == 0) ids.push_back(entry.th32ProcessID);
        } while (Process32NextW(snapshot, &entry));
    }
    CloseHandle(snapshot);
    return ids;
}

std::wstring ProcessCommandLine(DWORD pid) {
    using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    if (!query) return {};
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return {};
    std::wstring commandLine;
    PROCESS_BASIC_INFORMATION basic{};
    if (query(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) == 0 && basic.PebBaseAddress) {
        PEB peb{};
        RTL_USER_PROCESS_PARAMETERS parameters{};
        SIZE_T got = 0;
        if (ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof(peb), &got) && peb.ProcessParameters &&
            ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof(parameters), &got) &&
            parameters.CommandLine.Buffer && parameters.CommandLine.Length) {
            commandLine.resize(parameters.CommandLine.Length / sizeof(wchar_t));
            if (!ReadProcessMemory(process, parameters.CommandLine.Buffer, commandLine.data(),
                                   parameters.CommandLine.Length, &got))
                commandLine.clear();
        }
    }
    CloseHandle(process);
    return commandLine;
}

std::string IncompressibleBytes(size_t size, uint32_t seed) {
    std::string bytes(size, '\0');
    uint32_t x = seed ? seed : 1;
    for (size_t i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes[i] = static_cast<char>(x >> 24);
    }
    return bytes;
}

}  // namespace opstest
