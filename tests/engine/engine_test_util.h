#pragma once
// Helpers of the engine tests: trees of files, archives made by the real 7z.exe, the password
// dialog answered as a user would, standard output caught.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "base/handles.h"
#include "engine/archive_listing.h"
#include "resource.h"
#include "support/test_support.h"
#include "support/window_probe.h"

namespace enginetest {

using namespace testsupport;

// Relative path (backslashes) -> content. A path ending in "\" is an empty folder.
using Tree = std::map<std::wstring, std::string>;

inline void MakeTree(const std::wstring& root, const Tree& tree) {
    for (const auto& [relative, content] : tree) {
        if (!relative.empty() && relative.back() == L'\\') {
            WriteFileBytes(root + L"\\" + relative + L"probe", "");
            DeleteFileW((root + L"\\" + relative + L"probe").c_str());
        } else {
            WriteFileBytes(root + L"\\" + relative, content);
        }
    }
}

// Packs everything in `source` into `archive` with 7z.exe; `switches` go before the names.
inline void Pack(const std::wstring& archive, const std::wstring& source, const std::wstring& switches = L"") {
    const ProcessResult r = Run7z(L"a -y " + switches + L" " + Quote(archive) + L" *", source);
    ASSERT_TRUE(r.started);
    ASSERT_EQ(r.exitCode, 0u) << r.output;
}

// Sets a file's last-write time to the given UTC calendar time.
inline void SetModifiedUtc(const std::wstring& path, WORD year, WORD month, WORD day, WORD hour, WORD minute,
                           WORD second) {
    SYSTEMTIME st{year, month, 0, day, hour, minute, second, 0};
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &ft));
    CloseHandle(file);
}

inline uint64_t FileTimeValue(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME st{year, month, 0, day, hour, minute, second, 0};
    FILETIME ft{};
    SystemTimeToFileTime(&st, &ft);
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

inline uint64_t LastWriteOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

// Answers every password prompt of this process with `password`, or presses Cancel when
// `password` is null.
class PasswordAnswer {
public:
    explicit PasswordAnswer(const wchar_t* password)
        : responder_(L"Tolvane Extractor",
                     [text = std::wstring(password ? password : L""), cancel = password == nullptr](HWND dialog) {
                         if (cancel) {
                             PressButton(dialog, IDCANCEL);
                         } else {
                             SetControlText(dialog, IDC_PASSWORD_EDIT, text);
                             PressButton(dialog, IDOK);
                         }
                     },
                     GetCurrentProcessId()) {}
    int count() const { return responder_.count(); }

private:
    DialogResponder responder_;
};

// Catches what the process writes to standard output while it lives.
class CapturedStdout {
public:
    CapturedStdout() : file_(L"stdout") {
        previous_ = GetStdHandle(STD_OUTPUT_HANDLE);
        path_ = file_ / L"out.txt";
        handle_ = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        SetStdHandle(STD_OUTPUT_HANDLE, handle_);
    }
    ~CapturedStdout() { restore(); }
    std::string text() {
        restore();
        return ReadFileBytes(path_);
    }

private:
    void restore() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            SetStdHandle(STD_OUTPUT_HANDLE, previous_);
            CloseHandle(handle_);
            handle_ = INVALID_HANDLE_VALUE;
        }
    }
    TempDir file_;
    std::wstring path_;
    HANDLE previous_ = nullptr;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// Made on the Linux side before the tests (tests/support/make_linux_archives.py).
inline std::wstring LinuxArchive(const std::wstring& name) { return BinDir() + L"\\..\\linux-archives\\" + name; }

// Makes the folder (and those above it) and returns its path.
inline std::wstring NewFolder(const std::wstring& path) {
    WriteFileBytes(path + L"\\probe", "");
    DeleteFileW((path + L"\\probe").c_str());
    return path;
}

// Every file below the folder (long paths too) with its bytes, by its path relative to it.
inline std::map<std::wstring, std::string> FilesBelow(const std::wstring& folder) {
    const std::wstring root = L"\\\\?\\" + folder;
    std::map<std::wstring, std::string> files;
    for (const std::wstring& file : ListFilesRecursive(root)) files[file] = ReadFileBytes(root + L"\\" + file);
    return files;
}

// What the archiver itself writes for the archive (7z.exe x, files in the way replaced), in
// `out`: the oracle of an extraction.
inline std::map<std::wstring, std::string> ArchiverExtracts(const std::wstring& archive, const std::wstring& out) {
    const ProcessResult run = Run7z(L"x -y -o" + Quote(out) + L" " + Quote(archive));
    EXPECT_TRUE(run.started) << run.output;
    return FilesBelow(out);
}

// A differential archive, made against base.7z after gone.txt and olddir were deleted: it holds
// keep.txt ("changed") and the deletion markers ("anti-items") of the others.
inline std::wstring MakeDifferentialArchive(const TempDir& dir) {
    const std::wstring source = dir / L"diff-src";
    MakeTree(source, {{L"keep.txt", "kept"}, {L"gone.txt", "gone"}, {L"olddir\\f.txt", "old"}});
    Pack(dir / L"base.7z", source);
    RemoveTree(source + L"\\olddir");
    DeleteFileW((source + L"\\gone.txt").c_str());
    WriteFileBytes(source + L"\\keep.txt", "changed");
    const std::wstring diff = dir / L"diff.7z";
    const ProcessResult made =
        Run7z(L"u " + Quote(dir / L"base.7z") + L" -u- \"-up0q3r2x2y2z0w2!" + diff + L"\" *", source);
    EXPECT_EQ(made.exitCode, 0u) << made.output;
    EXPECT_NE(Run7z(L"l -slt " + Quote(diff)).output.find("Anti = +"), std::string::npos);
    return diff;
}

inline const ArchiveItem* FindItem(const ListingResult& result, const std::wstring& path) {
    for (const ArchiveItem& item : result.items)
        if (item.path == path) return &item;
    return nullptr;
}

inline std::vector<std::wstring> PathsOf(const ListingResult& result) {
    std::vector<std::wstring> paths;
    for (const ArchiveItem& item : result.items) paths.push_back(item.path);
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace enginetest
