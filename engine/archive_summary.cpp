#include "engine/archive_summary.h"

#include <algorithm>

#include "engine/engine_property.h"

namespace {

// Enough to name every method of an ordinary archive; the rest would not fit a status line.
constexpr size_t kMostMethods = 8;

bool IsTrue(const EngineProperty& value) { return value.type() == VT_BOOL && value.get().boolVal != VARIANT_FALSE; }

}  // namespace

ArchiveSummary archiveSummary(IInArchive* archive, uint32_t count) {
    ArchiveSummary summary;
    EngineProperty value;
    if (archive->GetArchiveProperty(kpidSolid, value.put()) == S_OK) summary.solid = IsTrue(value);
    for (uint32_t index = 0; index < count; ++index) {
        if (archive->GetProperty(index, kpidIsDir, value.put()) == S_OK && IsTrue(value)) continue;
        ++summary.files;
        if (archive->GetProperty(index, kpidEncrypted, value.put()) == S_OK && IsTrue(value))
            ++summary.encryptedFiles;
        if (summary.methods.size() >= kMostMethods) continue;
        if (archive->GetProperty(index, kpidMethod, value.put()) != S_OK || value.type() != VT_BSTR ||
            !value.get().bstrVal)
            continue;
        std::wstring method(value.get().bstrVal, SysStringLen(value.get().bstrVal));
        if (!method.empty() && std::find(summary.methods.begin(), summary.methods.end(), method) == summary.methods.end())
            summary.methods.push_back(std::move(method));
    }
    return summary;
}
