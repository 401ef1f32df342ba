#pragma once
// The entry paths of an archive as the real 7z.exe lists them, sorted (folders without a
// trailing backslash); with `wildcard`, only those whose names in any folder match it (-r).
#include <algorithm>
#include <string>
#include <vector>

#include "support/test_support.h"

inline std::vector<std::wstring> ArchiveEntries(const std::wstring& archive, const std::wstring& password = L"",
                                                const std::wstring& wildcard = L"") {
    using namespace testsupport;
    const ProcessResult listed = Run7z(L"l -slt -ba -sccUTF-8 " +
                                       (password.empty() ? std::wstring(L"-p-") : Quote(L"-p" + password)) + L" " +
                                       Quote(archive) + (wildcard.empty() ? L"" : L" -r " + Quote(wildcard)));
    std::vector<std::wstring> entries;
    const std::wstring text = Widen(listed.output);
    for (size_t pos = 0; (pos = text.find(L"Path = ", pos)) != std::wstring::npos;) {
        const size_t end = text.find_first_of(L"\r\n", pos);
        entries.push_back(text.substr(pos + 7, end - pos - 7));
        pos = end;
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}
