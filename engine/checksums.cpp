#include "engine/checksums.h"

#include <windows.h>

#include <memory>
#include <new>
#include <unordered_map>

#include "base/folder_tree.h"
#include "base/handles.h"
#include "base/paths.h"
#include "engine/archive_listing.h"
#include "engine/engine_interfaces.h"
#include "engine/engine_property.h"
#include "engine/extract_callback.h"
#include "engine/extract_path.h"
#include "engine/item_decoding.h"
#include "engine/item_kinds.h"

namespace {

constexpr DWORD kReadChunk = 1 << 20;

std::wstring TextOf(const EngineProperty& value) {
    if (value.type() != VT_BSTR || !value.get().bstrVal) return {};
    return std::wstring(value.get().bstrVal, SysStringLen(value.get().bstrVal));
}

bool NamesNumber(const std::wstring& function) {
    return function.rfind(L"CRC", 0) == 0 || function.rfind(L"XXH", 0) == 0;
}

// The library's list of hash functions, held while the library is loaded.
class HashLibrary {
public:
    HashLibrary() {
        if (!library_.load(engineLibraryPath())) return;
        const auto getHashers =
            reinterpret_cast<GetHashersFunc>(reinterpret_cast<void*>(GetProcAddress(library_.module(), "GetHashers")));
        if (!getHashers || getHashers(hashers_.put()) != S_OK || !hashers_) return;
        const UINT32 count = hashers_->GetNumHashers();
        EngineProperty value;
        for (UINT32 index = 0; index < count; ++index)
            names_.push_back(hashers_->GetHasherProp(index, kMethodName, value.put()) == S_OK ? TextOf(value) : L"");
    }
    ~HashLibrary() { hashers_.reset(); }
    const std::vector<std::wstring>& names() const { return names_; }

    // Fresh hashers for the functions (all when empty); functions the library lacks are left out.
    std::vector<std::pair<std::wstring, ComPtr<IHasher>>> Make(const std::vector<std::wstring>& functions) {
        std::vector<std::pair<std::wstring, ComPtr<IHasher>>> made;
        for (const std::wstring& wanted : functions.empty() ? names_ : functions) {
            for (UINT32 index = 0; index < names_.size(); ++index) {
                if (lstrcmpiW(names_[index].c_str(), wanted.c_str()) != 0) continue;
                ComPtr<IHasher> hasher;
                if (hashers_->CreateHasher(index, hasher.put()) == S_OK && hasher) {
                    hasher->Init();
                    made.emplace_back(names_[index], std::move(hasher));
                }
                break;
            }
        }
        return made;
    }

private:
    EngineLibrary library_;
    ComPtr<IHashers> hashers_;
    std::vector<std::wstring> names_;
};

using Hashers = std::vector<std::pair<std::wstring, ComPtr<IHasher>>>;

std::vector<Checksum> Finish(Hashers& hashers) {
    std::vector<Checksum> checksums;
    for (auto& [function, hasher] : hashers) {
        const UINT32 size = hasher->GetDigestSize();
        std::vector<unsigned char> digest(size);
        hasher->Final(digest.data());
        checksums.push_back({function, digestText(function, digest.data(), digest.size())});
    }
    return checksums;
}

// Feeds what the file holds from its position on to the hashers; false when it cannot be read to
// its end or `cancel` is set.
bool HashToEnd(HANDLE file, Hashers& hashers, std::vector<unsigned char>& buffer, std::atomic<uint64_t>* completed,
               const std::atomic<int32_t>* cancel) {
    for (DWORD read = 0;;) {
        if (cancel && cancel->load()) return false;
        if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) return false;
        if (read == 0) return true;
        for (auto& entry : hashers) entry.second->Update(buffer.data(), read);
        if (completed) *completed += read;
    }
}

// Feeds each decoded file entry to its own set of hashers. A hard link's data is that of the
// item it names, which is hashed for it (also when not chosen itself); deletion markers are no
// entries.
class HashingSink final : public ItemSink {
public:
    HashingSink(IInArchive* archive, HashLibrary& library, const std::vector<std::wstring>& selection,
                const std::vector<std::wstring>& functions)
        : archive_(archive), library_(library), selection_(selection), functions_(functions), kinds_(archive) {
        links_.read(archive, kinds_);
        for (const auto& [index, link] : links_.links())
            if (wanted(itemPathOf(archive_, index))) sources_[link.source];
    }

    bool begin(UINT32 index) override {
        EngineProperty value;
        if (archive_->GetProperty(index, kpidIsDir, value.put()) == S_OK && value.type() == VT_BOOL &&
            value.get().boolVal != VARIANT_FALSE)
            return false;
        if (kinds_.isAnti(index)) return false;
        const std::wstring path = itemPathOf(archive_, index);
        const bool chosen = wanted(path);
        if (chosen) results.push_back({path, {}, {}});
        if (const HardLinkMap::Link* link = chosen ? links_.find(index) : nullptr) {
            linkResults_.emplace_back(results.size() - 1, link);
            return false;
        }
        const bool source = sources_.count(index) != 0;
        if (!chosen && !source) return false;
        current_ = library_.Make(functions_);
        result_ = chosen ? results.size() - 1 : kNone;
        active_ = true;
        return true;
    }
    bool write(const void* data, UINT32 size) override {
        for (auto& entry : current_) entry.second->Update(data, size);
        return true;
    }
    void end(UINT32 index, INT32 result) override {
        if (!active_) return;
        active_ = false;
        ChecksumResult done;
        if (result == kOK) done.checksums = Finish(current_);
        else done.fault = EngineResultFault(result);
        current_.clear();
        if (const auto source = sources_.find(index); source != sources_.end()) source->second = done;
        if (result_ != kNone) {
            results[result_].checksums = std::move(done.checksums);
            results[result_].fault = std::move(done.fault);
        }
    }
    // The links take the checksums of the items they name.
    void finish() {
        for (const auto& [at, link] : linkResults_) {
            const auto source = sources_.find(link->source);
            if (source == sources_.end() || (source->second.checksums.empty() && !source->second.fault.any())) {
                results[at].fault = hardLinkFault(*link);
                if (!results[at].fault.any()) results[at].fault = {ItemFault::Kind::LinkSourceUnread, 0, link->target};
            } else {
                results[at].checksums = source->second.checksums;
                results[at].fault = source->second.fault;
            }
        }
    }

    std::vector<ChecksumResult> results;

private:
    static constexpr size_t kNone = static_cast<size_t>(-1);
    bool wanted(const std::wstring& path) const { return selection_.empty() || selectionTakes(&selection_, path); }

    IInArchive* archive_;
    HashLibrary& library_;
    const std::vector<std::wstring>& selection_;
    const std::vector<std::wstring>& functions_;
    ItemKinds kinds_;
    HardLinkMap links_;
    std::unordered_map<UINT32, ChecksumResult> sources_;  // the items links take their data from
    std::vector<std::pair<size_t, const HardLinkMap::Link*>> linkResults_;
    Hashers current_;
    size_t result_ = kNone;  // where the item being hashed goes in `results`
    bool active_ = false;
};

}  // namespace

class FileDigests::Library : public HashLibrary {};

FileDigests::FileDigests(std::wstring function) : function_(std::move(function)) {}

FileDigests::~FileDigests() = default;

std::wstring FileDigests::of(HANDLE file, const std::atomic<int32_t>* cancel) {
    try {
        if (!library_) library_ = std::make_unique<Library>();
        if (buffer_.empty()) buffer_.resize(kReadChunk);
        Hashers hashers = library_->Make({function_});
        if (hashers.empty() || !HashToEnd(file, hashers, buffer_, nullptr, cancel)) return {};
        std::vector<Checksum> checksums = Finish(hashers);
        return checksums.empty() ? std::wstring() : std::move(checksums.front().value);
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::wstring FileDigests::ofFile(const std::wstring& path) {
    UniqueHandle file(CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    return file ? of(file.get()) : std::wstring();
}

std::wstring digestText(const std::wstring& function, const unsigned char* digest, size_t size) {
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring text;
    const bool number = NamesNumber(function);
    for (size_t i = 0; i < size; ++i) {
        const unsigned char byte = digest[number ? size - 1 - i : i];
        text += kHex[byte >> 4];
        text += kHex[byte & 15];
    }
    return text;
}

std::vector<std::wstring> engineHashNames() {
    try {
        HashLibrary library;
        return library.names();
    } catch (const std::bad_alloc&) {
        return {};
    }
}

std::vector<ChecksumResult> checksumFiles(const std::vector<std::wstring>& paths,
                                          const std::vector<std::wstring>& functions,
                                          std::atomic<uint64_t>* completed, const std::atomic<int32_t>* cancel) {
    std::vector<ChecksumResult> results;
    HashLibrary library;
    std::vector<unsigned char> buffer(kReadChunk);
    for (const std::wstring& path : paths) {
        if (cancel && cancel->load()) break;
        ChecksumResult result{path, {}, {}};
        UniqueHandle file(CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file) {
            result.fault = {ItemFault::Kind::FileUnreadable};
            results.push_back(std::move(result));
            continue;
        }
        Hashers hashers = library.Make(functions);
        if (hashers.empty()) result.fault = {ItemFault::Kind::NoSuchChecksum};
        const bool read = hashers.empty() || HashToEnd(file.get(), hashers, buffer, completed, cancel);
        if (cancel && cancel->load()) break;
        if (!read) result.fault = {ItemFault::Kind::FileReadShort};
        else if (!hashers.empty()) result.checksums = Finish(hashers);
        results.push_back(std::move(result));
    }
    return results;
}

std::vector<ChecksumResult> checksumArchiveEntries(const std::wstring& archivePath, ArchiveKind kind,
                                                   std::wstring& password,
                                                   const std::vector<std::wstring>& selection,
                                                   const std::vector<std::wstring>& functions,
                                                   ReadFailure* failure) {
    HashLibrary library;
    ArchiveSession session;
    OpenFailure notOpened;
    std::wstring known = password;
    if (openArchive(&known, session.library, session.archive, archivePath, kind, &notOpened) != 0) {
        if (failure) failure->open = notOpened;
        return {};
    }
    HashingSink sink(session.archive, library, selection, functions);
    const DecodingResult decoded = decodeItems(session.archive, {}, sink, known);
    sink.finish();
    session.archive->Close();
    if (!decoded.stopped) password = known;
    if (decoded.engineResult != S_OK && failure) failure->engineError = decoded.engineResult;
    return std::move(sink.results);
}
