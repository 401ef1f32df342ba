#include "engine/archive_summary.h"

#include <algorithm>

#include "engine/archive_listing.h"
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

void ArchiveSummaryReader::addItem(uint32_t index, ListedItem& item) {
    item.encrypted = false;
    item.method = {};
    if (item.attributes & FILE_ATTRIBUTE_DIRECTORY) return;
    EngineProperty value;
    ++summary_.files;
    item.encrypted = archive_->GetProperty(index, kpidEncrypted, value.put()) == S_OK && IsTrue(value);
    if (item.encrypted) ++summary_.encryptedFiles;
    if (archive_->GetProperty(index, kpidMethod, method_.put()) != S_OK || method_.type() != VT_BSTR ||
        !method_.get().bstrVal)
        return;
    item.method = std::wstring_view(method_.get().bstrVal, SysStringLen(method_.get().bstrVal));
    std::vector<std::wstring>& methods = summary_.methods;
    if (methods.size() < kMostMethods && !item.method.empty() &&
        std::find(methods.begin(), methods.end(), item.method) == methods.end())
        methods.emplace_back(item.method);
}
