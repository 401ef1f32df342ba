// The extract callback's part in items that are no plain files: the data hard links share, and
// symbolic links written as files.
#include "engine/extract_callback.h"

#include "engine/extract_path.h"

namespace {

// What a symbolic link written as a file holds: the path it points to, as UTF-8 text.
std::wstring LinkTargetIn(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char bytes[1024];
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), bytes, sizeof(bytes), &read, nullptr) || read == 0) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(read), nullptr, 0);
    std::wstring text(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(read), text.data(), length);
    return text;
}

}  // namespace

void CArchiveExtractCallback::setItemKinds(const ItemKinds* kinds, const HardLinkMap* links) {
    kinds_ = kinds;
    links_ = links && !links->empty() ? links : nullptr;
    if (!links_) return;
    for (const auto& [index, link] : links_->links())
        if (link.source != HardLinkMap::kNoItem && selectionTakes(selection_, itemPathOf(archive_, index, unnamedItem_)))
            linked_.need(link.source);
}

HRESULT CArchiveExtractCallback::keepLinkedData(ISequentialOutStream** outStream) {
    DWORD error = 0;
    ComPtr<COutFileStream> copy = linked_.keepCopy(itemIndex_, error);
    if (!copy) return S_OK;  // the links that need it fail, saying so
    keepingLinkedData_ = true;
    *outStream = static_cast<ISequentialOutStream*>(copy.get());
    (*outStream)->AddRef();
    return S_OK;
}

bool CArchiveExtractCallback::linkDataAtHand() {
    ItemFault fault = hardLinkFault(*link_);
    if (!fault.any()) fault = linked_.fault(link_->source, link_->target);
    if (!fault.any()) return true;
    failItem(std::move(fault));
    return false;
}

void CArchiveExtractCallback::copyLinkedData() {
    // A handler that writes a link's data itself has written it already.
    if (!link_ || !outFile_ || outFile_->bytesWritten() != 0) return;
    if (const DWORD error = linked_.copyInto(link_->source, *outFile_)) failItem(SystemFault(error));
    sizeKnown_ = false;  // the link's own size is not that of the data it shares
}

void CArchiveExtractCallback::noteSymbolicLink() { outcome_.noteSymbolicLink(itemPath_, LinkTargetIn(diskPath_)); }
