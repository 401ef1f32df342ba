#include "engine/item_kinds.h"

#include <optional>

#include "engine/engine_property.h"
#include "engine/extract_path.h"

namespace {

std::wstring TextOf(const EngineProperty& value) {
    if (value.type() != VT_BSTR || !value.get().bstrVal) return {};
    return std::wstring(value.get().bstrVal, SysStringLen(value.get().bstrVal));
}

std::wstring ItemText(IInArchive* archive, UINT32 index, PROPID id) {
    EngineProperty value;
    if (archive->GetProperty(index, id, value.put()) != S_OK) return {};
    return TextOf(value);
}

bool ItemIsFolder(IInArchive* archive, UINT32 index) {
    EngineProperty value;
    return archive->GetProperty(index, kpidIsDir, value.put()) == S_OK && value.type() == VT_BOOL &&
           value.get().boolVal != VARIANT_FALSE;
}

// A path as it lands on disk, so that "./a/b" of a link and "a\b" of an item are one path.
std::optional<std::wstring> DiskForm(const std::wstring& path) {
    std::optional<std::wstring> form = safeRelativePath(path);
    if (form && form->empty()) return std::nullopt;
    return form;
}

}  // namespace

ItemKinds::ItemKinds(IInArchive* archive) : archive_(archive) {
    UINT32 count = 0;
    if (!archive_ || archive_->GetNumberOfProperties(&count) != S_OK) return;
    for (UINT32 i = 0; i < count && i < 1000; ++i) {
        BSTR name = nullptr;
        PROPID id = 0;
        VARTYPE type = VT_EMPTY;
        const HRESULT described = archive_->GetPropertyInfo(i, &name, &id, &type);
        if (name) SysFreeString(name);
        if (described != S_OK) continue;
        if (id == kpidIsAnti) anti_ = true;
        if (id == kpidHardLink) hardLinks_ = true;
        if (id == kpidSymLink) symbolicLinks_ = true;
    }
}

bool ItemKinds::isAnti(UINT32 index) const {
    if (!anti_) return false;
    EngineProperty value;
    return archive_->GetProperty(index, kpidIsAnti, value.put()) == S_OK && value.type() == VT_BOOL &&
           value.get().boolVal != VARIANT_FALSE;
}

std::wstring ItemKinds::hardLinkTarget(UINT32 index) const {
    return hardLinks_ ? ItemText(archive_, index, kpidHardLink) : std::wstring();
}

bool ItemKinds::isSymbolicLink(UINT32 index) const {
    return symbolicLinks_ && !ItemText(archive_, index, kpidSymLink).empty();
}

bool attributesMarkSymbolicLink(uint32_t attributes) {
    constexpr uint32_t kUnixMode = 0x8000, kTypeBits = 0170000, kLinkType = 0120000;
    return (attributes & kUnixMode) && ((attributes >> 16) & kTypeBits) == kLinkType;
}

void HardLinkMap::read(IInArchive* archive, const ItemKinds& kinds) {
    links_.clear();
    if (!kinds.hasHardLinks()) return;
    UINT32 count = 0;
    if (archive->GetNumberOfItems(&count) != S_OK) return;
    for (UINT32 index = 0; index < count; ++index) {
        std::wstring target = kinds.hardLinkTarget(index);
        if (!target.empty()) links_[index].target = std::move(target);
    }
    if (links_.empty()) return;

    // The data of each path so far: the file item itself, or the source of a link.
    std::unordered_map<std::wstring, UINT32> dataOf;
    const auto place = [&](UINT32 index, UINT32 source) {
        if (const auto path = DiskForm(ItemText(archive, index, kpidPath))) dataOf[*path] = source;
    };
    for (UINT32 index = 0; index < count; ++index) {
        const auto link = links_.find(index);
        if (link == links_.end()) {
            if (!ItemIsFolder(archive, index)) place(index, index);
            continue;
        }
        const auto target = DiskForm(link->second.target);
        const auto found = target ? dataOf.find(*target) : dataOf.end();
        if (found == dataOf.end()) continue;
        link->second.source = found->second;
        place(index, found->second);
    }
    // A target found only after its link.
    for (auto& [index, link] : links_) {
        if (link.source != kNoItem) continue;
        const auto target = DiskForm(link.target);
        link.sourceLater = target && dataOf.count(*target) != 0;
    }
}

const HardLinkMap::Link* HardLinkMap::find(UINT32 index) const {
    if (links_.empty()) return nullptr;
    const auto found = links_.find(index);
    return found == links_.end() ? nullptr : &found->second;
}

ItemFault hardLinkFault(const HardLinkMap::Link& link) {
    if (link.source != HardLinkMap::kNoItem) return {};
    return {link.sourceLater ? ItemFault::Kind::LinkToLater : ItemFault::Kind::LinkToMissing, 0, link.target};
}
