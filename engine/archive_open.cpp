// Opening an archive file with the engine's handler for its kind.
#include <new>

#include "base/handles.h"
#include "engine/archive_listing.h"
#include "engine/console_text.h"
#include "engine/extraction_outcome.h"
#include "engine/in_file_stream.h"
#include "engine/open_callback.h"

namespace {

int Fail(OpenFailure* failure, const char* diagnostic, std::wstring cause) {
    writeDiagnostic(diagnostic);
    if (failure) failure->cause = std::move(cause);
    return 1;
}

}  // namespace

int openArchive(std::wstring* password, EngineLibrary& library, IInArchive*& archive,
                const std::wstring& archivePath, ArchiveKind kind, OpenFailure* failure, bool* listEncrypted) {
    try {
        if (!library.load(engineLibraryPath()))
            return Fail(failure, "Can not load 7-zip library", L"the archive engine core\\7z.dll could not be loaded");
        const auto createObject =
            reinterpret_cast<CreateObjectFunc>(reinterpret_cast<void*>(GetProcAddress(library.module(), "CreateObject")));
        if (!createObject) return Fail(failure, "Can not get CreateObject", L"the archive engine is not usable");
        const GUID classId = formatClassId(kind);
        void* handler = nullptr;
        const HRESULT created = createObject(&classId, &IID_IInArchive, &handler);
        archive = static_cast<IInArchive*>(handler);
        if (created != S_OK || !archive) return Fail(failure, "Can not get class object", L"not a known archive type");

        auto stream = ComPtr<CInFileStream>::share(NewEngineObject<CInFileStream>());
        if (!stream->open(archivePath)) {
            const DWORD error = GetLastError();
            return Fail(failure, "Can not open archive file", systemErrorCause(error));
        }
        static const char kRar5Signature[] = "Rar!\x1A\x07\x01\x00";
        if (kind == Rar && stream->startsWith(kRar5Signature, 8)) {
            // Most RAR files written today use the RAR 5 layout, which has a reader of its own.
            archive->Release();
            archive = nullptr;
            const GUID rar5 = rar5FormatClassId();
            handler = nullptr;
            const HRESULT made = createObject(&rar5, &IID_IInArchive, &handler);
            archive = static_cast<IInArchive*>(handler);
            if (made != S_OK || !archive) return Fail(failure, "Can not get class object", L"not a known archive type");
        }

        auto callback = ComPtr<CArchiveOpenCallback>::share(NewEngineObject<CArchiveOpenCallback>());
        if (password && !password->empty()) callback->setPassword(*password);

        const HRESULT opened = archive->Open(static_cast<IInStream*>(stream.get()), nullptr,
                                             static_cast<IArchiveOpenCallback*>(callback.get()));
        if (opened == E_OUTOFMEMORY) {
            if (failure) failure->outOfMemory = true;
            return Fail(failure, "Can not open archive", L"out of memory");
        }
        if (opened != S_OK) {
            if (failure) failure->stopped = callback->stopped();
            // An encrypted item list that does not decode: the password is the likely cause.
            return Fail(failure, "Can not open archive",
                        callback->passwordAsked() ? L"wrong password" : L"not an archive of its type, or damaged");
        }
        if (password) *password = callback->password();
        if (listEncrypted) *listEncrypted = callback->passwordAsked();
        return 0;
    } catch (const CNewException&) {
    } catch (const std::bad_alloc&) {
    }
    if (failure) failure->outOfMemory = true;
    return Fail(failure, "Can not open archive", L"out of memory");
}
