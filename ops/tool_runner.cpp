#include "ops/tool_runner.h"

#include "base/handles.h"
#include "catalog/item_catalog.h"
#include "ops/temp_workspace.h"

namespace {

constexpr DWORD kChunkBytes = 4096;
constexpr DWORD kPollMs = 20;
// After its input was closed the archiver ends by itself; this long it may take.
constexpr DWORD kGraceAfterDeclineMs = 5000;

void Trace(std::string_view text) {
    std::string line(text);
    line += '\n';
    OutputDebugStringA(line.c_str());
}

// True when something reads the debug output: a debugger, or a monitor that has made the
// system-wide buffer. A large add prints a line per file, and under Wine every debug line costs
// a round trip to the server that the archiver waits on for each file it opens, so the lines are
// written only when they can be read.
bool DebugOutputIsRead() {
    if (IsDebuggerPresent()) return true;
    const UniqueHandle buffer(OpenFileMappingW(FILE_MAP_READ, FALSE, L"DBWIN_BUFFER"));
    return static_cast<bool>(buffer);
}

bool Cancelled(const ToolRunSettings& settings) { return settings.cancel && settings.cancel->load() != 0; }

// Reads what the archiver has written since the last look, without waiting. False when the
// output could not be read.
bool ReadAvailable(HANDLE output, ToolOutputInterpreter& interpreter, bool& gotSome) {
    gotSome = false;
    char chunk[kChunkBytes + 1];
    DWORD got = 0;
    if (!ReadFile(output, chunk, kChunkBytes, &got, nullptr)) return false;
    chunk[got] = '\0';
    gotSome = got > 0;
    if (gotSome) interpreter.InterpretToolOutput(std::string_view(chunk, got));
    return true;
}

// The archiver writes its report into a temporary file, read behind it through a second handle.
// A pipe would cost it a round trip to the Wine server for every line it prints (a line per
// file of a large add); a file costs it what a user's "> out.txt" costs. The file goes when
// the last handle to it closes.
bool CreateOutputFile(UniqueHandle& reader, UniqueHandle& writer) {
    wchar_t path[MAX_PATH] = {};
    if (!GetTempFileNameW(TempBase().c_str(), L"tlo", 0, path)) return false;
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    reader.reset(CreateFileW(path, GENERIC_READ | DELETE, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!reader) {
        DeleteFileW(path);
        return false;
    }
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    writer.reset(CreateFileW(path, GENERIC_WRITE, kShareAll, &inheritable, OPEN_EXISTING, FILE_ATTRIBUTE_TEMPORARY,
                             nullptr));
    return static_cast<bool>(writer);
}

// A fresh file in the temporary base holding the names, as UTF-16LE; empty on failure.
std::wstring WriteNameList(const std::vector<std::wstring>& names) {
    std::wstring path;
    UniqueHandle file = CreateFreshTempFile(kNameListPrefix, path);
    const std::wstring text = NameListText(names);
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (!file || !WriteFile(file.get(), text.data(), bytes, &written, nullptr) || written != bytes) {
        file.reset();
        if (!path.empty()) DeleteFileW(path.c_str());
        return {};
    }
    return path;
}

// Removes the list file when the run is over, however it ends.
struct NameListFile {
    std::wstring path;
    ~NameListFile() {
        if (!path.empty()) DeleteFileW(path.c_str());
    }
};

}  // namespace

ToolRunResult RunTool(const ToolCommandLine& command, const ToolRunSettings& settings) {
    ToolRunResult result;
    NameListFile list;
    if (!command.names().empty()) {
        list.path = WriteNameList(command.names());
        if (list.path.empty()) {
            Trace("archiver: the list of names could not be written");
            return result;
        }
    }
    std::wstring commandLine = command.text(list.path);
    if (commandLine.empty()) {
        Trace("archiver: a path cannot be put on its command line");
        return result;
    }

    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    UniqueHandle outputRead, outputWrite, inputRead, inputWrite;
    if (!CreateOutputFile(outputRead, outputWrite) || !CreatePipe(inputRead.put(), inputWrite.put(), &inheritable, 0) ||
        !SetHandleInformation(inputWrite.get(), HANDLE_FLAG_INHERIT, 0)) {
        Trace("archiver: its output file or input pipe could not be created");
        return result;
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inputRead.get();
    startup.hStdOutput = outputWrite.get();
    startup.hStdError = outputWrite.get();
    PROCESS_INFORMATION process{};
    const std::wstring& folder = command.workingFolder();
    if (!CreateProcessW(command.toolPath().c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        Trace("archiver: CreateProcess failed");
        return result;
    }
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle threadHandle(process.hThread);
    // Only the child holds these now.
    outputWrite.reset();
    inputRead.reset();
    result.started = true;

    ToolDialogue dialogue;
    dialogue.askPassword = [&settings](bool again) -> std::optional<std::string> {
        // After Cancel nobody is asked anything: the run ends instead.
        if (Cancelled(settings) || !settings.askPassword) return std::nullopt;
        return settings.askPassword(again);
    };
    dialogue.confirmReplace = [&settings]() {
        if (Cancelled(settings) || !settings.confirmReplace) return false;
        return settings.confirmReplace();
    };
    dialogue.answer = [&inputWrite](std::string_view reply) {
        if (!inputWrite) return;
        DWORD written = 0;
        WriteFile(inputWrite.get(), reply.data(), static_cast<DWORD>(reply.size()), &written, nullptr);
    };
    dialogue.countProgress = settings.countProgress;
    dialogue.reportPercent = settings.reportPercent;
    if (DebugOutputIsRead()) dialogue.traceLine = Trace;
    std::atomic<int32_t> noYesToAll{0};
    ToolOutputInterpreter interpreter(settings.state, settings.knownPassword,
                                      settings.yesToAll ? *settings.yesToAll : noYesToAll, std::move(dialogue));

    bool ended = false;
    DWORD declinedAt = 0;
    for (;;) {
        bool gotSome = false;
        const bool readable = ReadAvailable(outputRead.get(), interpreter, gotSome);
        if (interpreter.declined() && !result.stopped) {
            // The archiver stops when its input ends (a cancelled password) or after "quit".
            result.stopped = true;
            inputWrite.reset();
            declinedAt = GetTickCount();
        }
        if (gotSome) continue;
        if (Cancelled(settings) && !ended) {
            TerminateProcess(processHandle.get(), ERROR_CANCELLED);
            WaitForSingleObject(processHandle.get(), INFINITE);
            result.stopped = true;
            ended = true;
        }
        if (result.stopped && !ended && GetTickCount() - declinedAt > kGraceAfterDeclineMs) {
            TerminateProcess(processHandle.get(), ERROR_CANCELLED);
            WaitForSingleObject(processHandle.get(), INFINITE);
            ended = true;
        }
        if (ended) {
            // Whatever is still in the file is read; the child can write no more.
            while (readable && ReadAvailable(outputRead.get(), interpreter, gotSome) && gotSome) {
            }
            break;
        }
        // Wait for the child a little at a time, so that Cancel and its prompts are seen while it runs.
        if (WaitForSingleObject(processHandle.get(), kPollMs) == WAIT_OBJECT_0) ended = true;
    }
    interpreter.Finish();
    result.typedPassword = interpreter.typedPassword();
    result.reportedSuccess = interpreter.reportedSuccess();
    result.report = interpreter.report();
    DWORD exitCode = 0;
    GetExitCodeProcess(processHandle.get(), &exitCode);
    result.exitCode = exitCode;
    return result;
}
