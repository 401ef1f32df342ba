#include "engine/linked_data.h"

#include <atomic>
#include <vector>


namespace {

std::wstring TemporaryCopyPath() {
    static std::atomic<unsigned> counter{0};
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return {};
    return std::wstring(folder, length) + L"~tolvane-link-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(++counter) + L".tmp";
}

}  // namespace

void LinkedData::need(UINT32 source) { sources_.try_emplace(source); }

void LinkedData::written(UINT32 index, const std::wstring& path) {
    const auto found = sources_.find(index);
    if (found == sources_.end() || found->second.state == State::Ready) return;
    found->second.state = State::Ready;
    found->second.path = path;
}

ComPtr<COutFileStream> LinkedData::keepCopy(UINT32 index, DWORD& error) {
    Source& source = sources_[index];
    auto stream = ComPtr<COutFileStream>::share(NewEngineObject<COutFileStream>());
    const std::wstring path = TemporaryCopyPath();
    if (path.empty() || !stream->create(path, false, FILE_ATTRIBUTE_TEMPORARY)) {
        error = path.empty() ? ERROR_PATH_NOT_FOUND : GetLastError();
        source.state = State::Failed;
        return nullptr;
    }
    source.path = path;
    source.temporary = true;
    source.copy = stream;
    return stream;
}

void LinkedData::ended(UINT32 index, bool intact) {
    const auto found = sources_.find(index);
    if (found == sources_.end()) return;
    Source& source = found->second;
    if (source.copy) {
        intact = intact && source.copy->writeError() == 0;
        if (source.copy->close() != S_OK) intact = false;
        source.copy.reset();
    }
    if (source.state == State::Ready) return;  // its own file was written
    source.state = intact ? State::Ready : State::Failed;
    if (!intact && source.temporary) {
        DeleteFileW(source.path.c_str());
        source.temporary = false;
        source.path.clear();
    }
}

ItemFault LinkedData::fault(UINT32 source, const std::wstring& target) const {
    const auto found = sources_.find(source);
    if (found != sources_.end() && found->second.state == State::Ready) return {};
    return {ItemFault::Kind::LinkSourceFailed, 0, target};
}

DWORD LinkedData::copyInto(UINT32 source, COutFileStream& out) const {
    const auto found = sources_.find(source);
    if (found == sources_.end() || found->second.path.empty()) return ERROR_FILE_NOT_FOUND;
    UniqueHandle file(CreateFileW(found->second.path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return GetLastError();
    std::vector<char> buffer(1 << 20);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) return GetLastError();
        if (read == 0) return out.writeError();
        for (DWORD done = 0; done < read && out.writeError() == 0;) {
            UINT32 written = 0;
            out.Write(buffer.data() + done, read - done, &written);
            done += written;
        }
        if (out.writeError() != 0) return out.writeError();
    }
}

void LinkedData::clear() {
    for (auto& [index, source] : sources_) {
        if (source.copy) source.copy->close();
        if (source.temporary) DeleteFileW(source.path.c_str());
    }
    sources_.clear();
}
