// Opening an archive file with the engine's handler for what it holds.
#include <new>

#include "base/handles.h"
#include "base/paths.h"
#include "engine/archive_listing.h"
#include "engine/archive_name_encoding.h"
#include "engine/archive_probe.h"
#include "engine/console_text.h"
#include "engine/engine_property.h"
#include "engine/format_detection.h"
#include "engine/format_table.h"
#include "engine/in_file_stream.h"
#include "engine/item_decoding.h"
#include "engine/open_callback.h"
#include "engine/volume_stream.h"

namespace {

// How far into a program the formats that can search look for the archive it carries.
constexpr UINT64 kEmbeddedSearchLimit = 1 << 23;

int Fail(OpenFailure* failure, const char* diagnostic, OpenFailure::Kind kind) {
    writeDiagnostic(diagnostic);
    if (failure) {
        failure->kind = kind;
        failure->stopped = kind == OpenFailure::Kind::Stopped;
        failure->outOfMemory = kind == OpenFailure::Kind::OutOfMemory;
    }
    return 1;
}

int FailToRead(OpenFailure* failure, DWORD error) {
    if (failure) failure->systemError = error;
    return Fail(failure, "Can not open archive file", OpenFailure::Kind::Unreadable);
}

// What a handler that found its signature but could not open the archive says is wrong with it.
// Its flags, else its own words.
ArchiveDamage FailedOpenDamage(IInArchive* archive) {
    EngineProperty flags;
    ArchiveDamage damage;
    if (archive->GetArchiveProperty(kpidErrorFlags, flags.put()) == S_OK && flags.type() == VT_UI4)
        damage.flags = flags.get().ulVal & ~static_cast<uint32_t>(kArcIsNotArc);
    EngineProperty error;
    if (damage.flags == 0 && archive->GetArchiveProperty(kpidError, error.put()) == S_OK &&
        error.type() == VT_BSTR && error.get().bstrVal && SysStringLen(error.get().bstrVal) != 0)
        damage.engineWords.emplace_back(error.get().bstrVal, SysStringLen(error.get().bstrVal));
    return damage;
}

const wchar_t* PreferredFormat(ArchiveKind kind) {
    switch (kind) {
    case SevenZip: return L"7z";
    case Rar: return L"Rar";
    case Zip: return L"zip";
    default: return L"";
    }
}

std::string ReadHead(IInStream* stream) {
    std::string head(kSignatureHeadSize, '\0');
    size_t got = 0;
    stream->Seek(0, kSeekSet, nullptr);
    while (got < head.size()) {
        UINT32 read = 0;
        if (stream->Read(head.data() + got, static_cast<UINT32>(head.size() - got), &read) != S_OK || read == 0) break;
        got += read;
    }
    head.resize(got);
    stream->Seek(0, kSeekSet, nullptr);
    return head;
}

// A file in the temporary folder that the system deletes when its last handle closes.
UniqueHandle CreateScratchFile() {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return UniqueHandle();
    static LONG counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring path = std::wstring(folder) + L"tolvane-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(InterlockedIncrement(&counter)) + L".tmp";
        UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                      nullptr));
        if (file) return file;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    return UniqueHandle();
}

// Writes the one decoded item into the scratch file.
class ScratchSink final : public ItemSink {
public:
    explicit ScratchSink(HANDLE file) : file_(file) {}
    bool begin(UINT32) override { return true; }
    bool write(const void* data, UINT32 size) override {
        DWORD written = 0;
        return WriteFile(file_, data, size, &written, nullptr) && written == size;
    }
    void end(UINT32, INT32 result) override { intact = result == kOK; }
    bool intact = false;

private:
    HANDLE file_;
};

std::wstring ItemPath(IInArchive* archive, UINT32 index) {
    EngineProperty value;
    if (archive->GetProperty(index, kpidPath, value.put()) != S_OK || value.type() != VT_BSTR || !value.get().bstrVal)
        return {};
    return std::wstring(value.get().bstrVal, SysStringLen(value.get().bstrVal));
}

uint64_t StreamSize(IInStream* stream) {
    UINT64 size = 0;
    ComPtr<IStreamGetSize> sized;
    if (stream->QueryInterface(IID_IStreamGetSize, sized.putVoid()) == S_OK && sized->GetSize(&size) == S_OK)
        return size;
    return 0;
}

// Tells the zip handler which code page its names are in; an archive that is no plain file
// (a volume set, a zip found inside another archive) keeps the engine's own reading.
class NameCodePage {
public:
    explicit NameCodePage(const std::wstring* path) : path_(path) {}
    void applyTo(IInArchive* handler, const EngineFormat& format) {
        if (!path_ || format.name != L"zip") return;
        if (!resolved_) {
            encoding_ = nameEncodingFor(*path_);
            resolved_ = true;
        }
        if (encoding_.codePage == 0) return;
        ComPtr<ISetProperties> properties;
        if (handler->QueryInterface(IID_ISetProperties, properties.putVoid()) != S_OK || !properties) return;
        const wchar_t* names[] = {L"cp"};
        PROPVARIANT value;
        PropVariantInit(&value);
        value.vt = VT_UI4;
        value.ulVal = encoding_.codePage;
        properties->SetProperties(names, &value, 1);
    }
    const ArchiveNameEncoding& encoding() const { return encoding_; }

private:
    const std::wstring* path_;
    bool resolved_ = false;
    ArchiveNameEncoding encoding_;
};

struct Attempt {
    enum Result { Opened, NotThisFormat, Stopped, WrongPassword, OutOfMemory } result = NotThisFormat;
    size_t format = 0;
    bool embedded = false;
    bool passwordAsked = false;  // the handler needed a password to read the item list
    bool signatureFound = false; // a format whose signature the file bears did not open it
    ArchiveDamage damage;        // ... and what its handler found wrong
};

// Tries the candidate formats in turn on the stream; `archive` holds the handler that opened it.
Attempt TryFormats(CreateObjectFunc createObject, const std::vector<EngineFormat>& formats, IInStream* stream,
                   const std::wstring& archivePath, const std::wstring* subArchiveName, std::wstring_view hintName,
                   ArchiveKind kind, std::wstring* password, IInArchive*& archive, unsigned* volumesOpened,
                   NameCodePage* names = nullptr) {
    Attempt attempt;
    const std::string head = ReadHead(stream);
    const std::vector<FormatCandidate> candidates = candidateFormats(formats, hintName, head, PreferredFormat(kind));
    for (const FormatCandidate& candidate : candidates) {
        void* handler = nullptr;
        const GUID classId = formats[candidate.format].classId;
        if (createObject(&classId, &IID_IInArchive, &handler) != S_OK || !handler) continue;
        archive = static_cast<IInArchive*>(handler);
        if (names) names->applyTo(archive, formats[candidate.format]);
        auto callback = ComPtr<CArchiveOpenCallback>::share(NewEngineObject<CArchiveOpenCallback>(archivePath));
        if (subArchiveName) callback->SetSubArchiveName(subArchiveName->c_str());
        if (password && !password->empty()) callback->setPassword(*password);
        stream->Seek(0, kSeekSet, nullptr);
        const UINT64 limit = kEmbeddedSearchLimit;
        const HRESULT result = archive->Open(stream, candidate.embedded ? &limit : nullptr,
                                             static_cast<IArchiveOpenCallback*>(callback.get()));
        attempt.format = candidate.format;
        attempt.embedded = candidate.embedded;
        if (result == S_OK) {
            if (password) *password = callback->password();
            if (volumesOpened) *volumesOpened = callback->volumesOpened();
            attempt.passwordAsked = callback->passwordAsked();
            attempt.result = Attempt::Opened;
            return attempt;
        }
        if (!attempt.signatureFound && !candidate.embedded && signatureMatches(formats[candidate.format], head)) {
            attempt.signatureFound = true;
            attempt.damage = FailedOpenDamage(archive);
        }
        archive->Release();
        archive = nullptr;
        if (result == E_OUTOFMEMORY) attempt.result = Attempt::OutOfMemory;
        else if (callback->stopped()) attempt.result = Attempt::Stopped;
        // The handler found its format but not the key to it: no other format will do better.
        else if (callback->passwordAsked()) attempt.result = Attempt::WrongPassword;
        if (attempt.result != Attempt::NotThisFormat) return attempt;
    }
    attempt.result = Attempt::NotThisFormat;
    return attempt;
}

// For a tar inside a stream format: decodes it into a scratch file and opens that. On success
// `archive` is the tar's handler (the stream format's is released) and `format` its format.
bool OpenInnerTar(CreateObjectFunc createObject, const std::vector<EngineFormat>& formats, IInArchive*& archive,
                  const std::wstring& archivePath, const std::wstring& itemName, size_t& format, uint64_t& size,
                  bool& stopped) {
    UniqueHandle scratch = CreateScratchFile();
    if (!scratch) return false;
    ScratchSink sink(scratch.get());
    std::wstring noPassword;
    const DecodingResult decoded = decodeItems(archive, {0}, sink, noPassword);
    if (decoded.stopped) stopped = true;
    if (decoded.engineResult != S_OK || decoded.stopped || decoded.sinkFailed || !sink.intact) return false;
    auto stream = ComPtr<CInFileStream>::share(NewEngineObject<CInFileStream>());
    stream->adopt(scratch.release());
    IInArchive* inner = nullptr;
    const Attempt attempt = TryFormats(createObject, formats, stream.get(), archivePath, &itemName, itemName, None,
                                       nullptr, inner, nullptr);
    if (attempt.result != Attempt::Opened) {
        if (attempt.result == Attempt::Stopped) stopped = true;
        return false;
    }
    archive->Close();
    archive->Release();
    archive = inner;
    format = attempt.format;
    size = StreamSize(stream.get());
    return true;
}

}  // namespace

bool OpenedFormat::writable() const {
    if (!outerName.empty() || volumes != 1 || embedded) return false;
    return formatIsUpdatable(name);
}

int openArchive(std::wstring* password, EngineLibrary& library, IInArchive*& archive,
                const std::wstring& archivePath, ArchiveKind kind, OpenFailure* failure, OpenedFormat* opened,
                bool* listEncrypted) {
    try {
        if (!library.load(engineLibraryPath()))
            return Fail(failure, "Can not load 7-zip library", OpenFailure::Kind::EngineUnusable);
        const auto createObject =
            reinterpret_cast<CreateObjectFunc>(reinterpret_cast<void*>(GetProcAddress(library.module(), "CreateObject")));
        if (!createObject) {
            if (failure) failure->engineLoaded = true;
            return Fail(failure, "Can not get CreateObject", OpenFailure::Kind::EngineUnusable);
        }
        if (failure) failure->kindNamed = kind != None;
        const std::vector<EngineFormat>& formats = engineFormats();

        // A numbered volume opens with the whole set, read as the one file it was cut from.
        ComPtr<IInStream> stream;
        std::wstring hintName = FileNameOf(archivePath);
        std::wstring subArchiveName;
        unsigned volumes = 1;
        if (isNumberedVolume(archivePath)) {
            const std::wstring first = *numberedVolumePath(archivePath, 1);
            auto joined = ComPtr<CMultiVolumeStream>::share(NewEngineObject<CMultiVolumeStream>());
            if (!joined->open(first)) return FailToRead(failure, GetLastError());
            volumes = static_cast<unsigned>(joined->volumeCount());
            hintName = subArchiveName = FileNameOf(withoutVolumeNumber(archivePath));
            stream = ComPtr<IInStream>::share(static_cast<IInStream*>(joined.get()));
        } else {
            auto file = ComPtr<CInFileStream>::share(NewEngineObject<CInFileStream>());
            if (!file->open(archivePath)) return FailToRead(failure, GetLastError());
            stream = ComPtr<IInStream>::share(static_cast<IInStream*>(file.get()));
        }

        if (candidateFormats(formats, hintName, ReadHead(stream.get()), PreferredFormat(kind)).empty()) {
            if (failure) failure->noFormatTried = true;
            return Fail(failure, "Can not get class object", OpenFailure::Kind::NotAnArchive);
        }
        unsigned volumesOpened = 0;
        NameCodePage names(subArchiveName.empty() ? &archivePath : nullptr);
        const Attempt attempt = TryFormats(createObject, formats, stream.get(), archivePath,
                                           subArchiveName.empty() ? nullptr : &subArchiveName, hintName, kind,
                                           password, archive, &volumesOpened, &names);
        switch (attempt.result) {
        case Attempt::Opened: break;
        case Attempt::OutOfMemory:
            return Fail(failure, "Can not open archive", OpenFailure::Kind::OutOfMemory);
        case Attempt::Stopped: return Fail(failure, "Can not open archive", OpenFailure::Kind::Stopped);
        case Attempt::WrongPassword:
            // An encrypted item list that does not decode: the password is the likely cause.
            return Fail(failure, "Can not open archive", OpenFailure::Kind::WrongPassword);
        case Attempt::NotThisFormat:
            if (failure) failure->damage = attempt.damage;
            return Fail(failure, "Can not open archive",
                        attempt.signatureFound ? OpenFailure::Kind::Damaged : OpenFailure::Kind::NotAnArchive);
        }

        size_t format = attempt.format;
        uint64_t innerSize = 0;
        OpenedFormat found;
        found.volumes = volumes + volumesOpened;
        found.embedded = attempt.embedded;
        if (isStreamFormat(formats[format])) {
            found.defaultItemName = defaultItemName(formats[format], hintName);
            UINT32 count = 0;
            std::wstring itemName = ItemPath(archive, 0);
            if (itemName.empty()) itemName = found.defaultItemName;
            bool stopped = false;
            const size_t outer = format;
            if (archive->GetNumberOfItems(&count) == S_OK && count == 1 && namesTar(itemName) &&
                OpenInnerTar(createObject, formats, archive, archivePath, itemName, format, innerSize, stopped)) {
                found.outerName = formats[outer].name;
                found.defaultItemName.clear();
            } else if (stopped) {
                return Fail(failure, "Can not open archive", OpenFailure::Kind::Stopped);
            }
        }
        found.name = formats[format].name;
        if (found.name == L"zip") found.names = names.encoding();
        found.streamSize = innerSize ? innerSize : StreamSize(stream.get());
        if (opened) *opened = std::move(found);
        if (listEncrypted) *listEncrypted = attempt.passwordAsked;
        return 0;
    } catch (const CNewException&) {
    } catch (const std::bad_alloc&) {
    }
    return Fail(failure, "Can not open archive", OpenFailure::Kind::OutOfMemory);
}
