#include "figures.h"

#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "support/test_support.h"

namespace bench {

int Options::pairsFor(double secondsPerPair, double budget) const {
    if (repetitionsGiven || secondsPerPair * repetitions <= budget) return repetitions;
    return std::max(1, std::min(repetitions, static_cast<int>(std::floor(budget / secondsPerPair))));
}

std::string LabelOf(const std::wstring& program) {
    const size_t end = program.find_last_of(L"\\/");
    const std::wstring folder = end == std::wstring::npos ? std::wstring() : program.substr(0, end);
    const size_t slash = folder.find_last_of(L"\\/");
    const std::wstring name = folder.substr(slash == std::wstring::npos ? 0 : slash + 1, 9);
    std::string label(name.begin(), name.end());
    for (char& c : label)
        if (static_cast<unsigned char>(c) > 0x7E) c = '?';
    return label.empty() ? "other" : label;
}

Options ParseOptions() {
    Options options;
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    options.programs.push_back({testsupport::ProgramExe(), "this"});
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--repetitions" && i + 1 < argc) {
            options.repetitions = std::max(1, _wtoi(argv[++i]));
            options.repetitionsGiven = true;
        } else if (arg == L"--also" && i + 1 < argc) {
            options.programs.push_back({argv[i + 1], LabelOf(argv[i + 1])});
            ++i;
        } else if (arg == L"--capacity") {
            options.capacity = true;
        } else if (arg == L"--only" && i + 1 < argc) {
            const std::wstring list = argv[++i];
            for (size_t start = 0; start <= list.size();) {
                const size_t comma = std::min(list.find(L',', start), list.size());
                options.only.insert(list.substr(start, comma - start));
                start = comma + 1;
            }
        }
    }
    LocalFree(argv);
    if (options.programs.size() == 2) options.programs[0].label = "after";
    return options;
}

void Row(const char* figure, double archiver, double program, const char* goal, const std::string& label) {
    std::printf("| %-50s | %-9s | %8.3f s | %8.3f s | %5.2f | %-9s |\n", figure, label.c_str(), archiver, program,
                archiver > 0 ? program / archiver : 0.0, goal);
    std::fflush(stdout);
}

void RowOfProgram(const char* figure, const std::string& label, const std::string& value, const std::string& ratio,
                  const char* goal) {
    std::printf("| %-50s | %-9s | %10s | %10s | %5s | %-9s |\n", figure, label.c_str(), "", value.c_str(), ratio.c_str(),
                goal);
    std::fflush(stdout);
}

void Note(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::printf("  ");
    std::vprintf(format, args);
    std::printf("\n");
    va_end(args);
    std::fflush(stdout);
}

void NoteFewerPairs(const Options& options, int pairs, const char* why) {
    if (pairs < options.repetitions) Note("(medians of %d pairs, not %d: %s)", pairs, options.repetitions, why);
}

void EmptyFolderBut(const std::wstring& folder, const std::wstring& keep) {
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return;
    std::vector<std::wstring> names;
    do {
        const std::wstring name = data.cFileName;
        if (name != L"." && name != L".." && lstrcmpiW(name.c_str(), keep.c_str()) != 0) names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    for (const std::wstring& name : names) {
        const std::wstring path = folder + L"\\" + name;
        if (testsupport::IsFolder(path)) testsupport::RemoveTree(path);
        else DeleteFileW(path.c_str());
    }
}

bool FreshCopy(const std::wstring& archive, const std::wstring& copy) {
    const size_t slash = copy.find_last_of(L'\\');
    if (slash != std::wstring::npos) CreateDirectoryW(copy.substr(0, slash).c_str(), nullptr);
    SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(copy.c_str());
    return CopyFileW(archive.c_str(), copy.c_str(), TRUE) != FALSE;
}

FILETIME SystemNow() {
    using Precise = void(WINAPI*)(FILETIME*);
    static const Precise precise = reinterpret_cast<Precise>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME now{};
    if (precise) precise(&now);
    else GetSystemTimeAsFileTime(&now);
    return now;
}

}  // namespace bench
