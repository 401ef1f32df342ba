#include "engine/archive_summary.h"

#include <algorithm>

#include "engine/engine_property.h"

namespace {

// Enough to name every method of an ordinary archive; the rest would not fit a status line.
constexpr size_t kMostMethods = 8;

bool IsTrue(const EngineProperty& value) { return value.type() == VT_BOOL && value.get().boolVal != VARIANT_FALSE; }

}  // namespace

ArchiveSummaryReader::ArchiveSummaryReader(IInArchive* archive) : archive_(archive) {
    EngineProperty value;
    if (archive_->GetArchiveProperty(kpidSolid, value.put()) == S_OK) summary_.solid = IsTrue(value);
}

void ArchiveSummaryReader::addItem(uint32_t index, bool folder) {
    if (folder) return;
    EngineProperty value;
    ++summary_.files;
    if (archive_->GetProperty(index, kpidEncrypted, value.put()) == S_OK && IsTrue(value)) ++summary_.encryptedFiles;
    std::vector<std::wstring>& methods = summary_.methods;
    if (methods.size() >= kMostMethods) return;
    if (archive_->GetProperty(index, kpidMethod, value.put()) != S_OK || value.type() != VT_BSTR ||
        !value.get().bstrVal)
        return;
    const std::wstring_view method(value.get().bstrVal, SysStringLen(value.get().bstrVal));
    if (!method.empty() && std::find(methods.begin(), methods.end(), method) == methods.end())
        methods.emplace_back(method);
}
