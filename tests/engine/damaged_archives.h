#pragma once
// Damaged archives for the listing and extraction tests: truncations, broken records and
// random bit flips (fixed seeds, so every run sees the same bytes).
#include <random>
#include <string>
#include <vector>

#include "engine_test_util.h"
#include "support/rar_writer.h"
#include "support/zip_writer.h"

namespace enginetest {

struct DamagedArchive {
    std::wstring name;  // file name, extension chooses the handler
    std::string bytes;
};

inline void PutLe32(std::string& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline std::string FlipBits(std::string bytes, unsigned seed, int flips) {
    std::mt19937 random(seed);
    for (int i = 0; i < flips && !bytes.empty(); ++i) {
        const size_t at = random() % bytes.size();
        bytes[at] = static_cast<char>(bytes[at] ^ (1u << (random() % 8)));
    }
    return bytes;
}

// Builds the variants from intact zip, 7z and RAR archives made in `work`.
inline std::vector<DamagedArchive> MakeDamagedArchives(const std::wstring& work) {
    const std::wstring source = work + L"\\damage-src";
    MakeTree(source, {{L"a.txt", std::string(5000, 'a')},
                      {L"dir\\b.txt", "bravo bravo bravo"},
                      {L"dir\\c.bin", std::string(20000, '\x5A')}});
    const std::wstring zipPath = work + L"\\intact.zip";
    const std::wstring sevenPath = work + L"\\intact.7z";
    Run7z(L"a -y " + Quote(zipPath) + L" *", source);
    Run7z(L"a -y " + Quote(sevenPath) + L" *", source);
    const std::string zip = ReadFileBytes(zipPath);
    const std::string seven = ReadFileBytes(sevenPath);
    const std::string rar = MakeRar({{"r", "", true}, {"r/one.txt", std::string(3000, 'r')}, {"two.txt", "two"}});

    std::vector<DamagedArchive> out;
    out.push_back({L"zero.zip", ""});
    out.push_back({L"zero.7z", ""});
    out.push_back({L"zero.rar", ""});
    out.push_back({L"garbage.7z", FlipBits(std::string(4096, '\0'), 7, 4000)});
    out.push_back({L"zip-half.zip", zip.substr(0, zip.size() / 2)});
    out.push_back({L"zip-no-last-byte.zip", zip.substr(0, zip.size() - 1)});
    out.push_back({L"zip-head.zip", zip.substr(0, 10)});
    out.push_back({L"7z-half.7z", seven.substr(0, seven.size() / 2)});
    out.push_back({L"7z-end-cut.7z", seven.substr(0, seven.size() - 10)});
    out.push_back({L"7z-signature-only.7z", seven.substr(0, 32)});
    out.push_back({L"rar-half.rar", rar.substr(0, rar.size() / 2)});

    std::string badOffset = zip;  // the central directory said to lie past the end
    PutLe32(badOffset, badOffset.size() - 6, 0x7FFFFFF0u);
    out.push_back({L"zip-central-past-end.zip", badOffset});

    std::string manyEntries = zip;  // more entries announced than present
    manyEntries[manyEntries.size() - 12] = '\xFF';
    manyEntries[manyEntries.size() - 11] = '\xFF';
    manyEntries[manyEntries.size() - 14] = '\xFF';
    manyEntries[manyEntries.size() - 13] = '\xFF';
    out.push_back({L"zip-count.zip", manyEntries});

    std::string headerCrc = seven;  // the start header's checksum broken
    headerCrc[8] = static_cast<char>(headerCrc[8] ^ 0x55);
    out.push_back({L"7z-start-crc.7z", headerCrc});

    std::string sizes = zip;  // the first entry's sizes enormous
    PutLe32(sizes, 18, 0xFFFFFFF0u);
    PutLe32(sizes, 22, 0xFFFFFFF0u);
    out.push_back({L"zip-sizes.zip", sizes});

    for (unsigned seed = 1; seed <= 6; ++seed) {
        out.push_back({L"zip-flip" + std::to_wstring(seed) + L".zip", FlipBits(zip, seed, static_cast<int>(seed * 3))});
        out.push_back({L"7z-flip" + std::to_wstring(seed) + L".7z", FlipBits(seven, seed + 100, static_cast<int>(seed * 3))});
        out.push_back({L"rar-flip" + std::to_wstring(seed) + L".rar", FlipBits(rar, seed + 200, static_cast<int>(seed * 2))});
    }
    return out;
}

// Runs `work` on a thread of its own; a run that does not end within the limit ends the test
// program (a hang is a failure, and the test cannot go on safely with the thread still busy).
template <typename Work>
void WithinTimeLimit(const std::wstring& what, DWORD limitMs, Work work) {
    struct Job {
        Work* work;
        static DWORD WINAPI Run(void* p) {
            (*static_cast<Job*>(p)->work)();
            return 0;
        }
    } job{&work};
    HANDLE thread = CreateThread(nullptr, 0, &Job::Run, &job, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    if (WaitForSingleObject(thread, limitMs) == WAIT_TIMEOUT) {
        ADD_FAILURE() << "no end within " << limitMs << " ms: " << Narrow(what);
        fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    CloseHandle(thread);
}

}  // namespace enginetest
