// Opening an archive file with the engine's handler for its kind.
#include <new>

#include "app/handles.h"
#include "engine/archive_listing.h"
#include "engine/console_text.h"
#include "engine/in_file_stream.h"
#include "engine/open_callback.h"

int openArchive(std::wstring* password, EngineLibrary& library, IInArchive*& archive,
                const std::wstring& archivePath, ArchiveKind kind) {
    try {
        if (!library.load(engineLibraryPath())) {
            writeDiagnostic("Can not load 7-zip library");
            return 1;
        }
        const auto createObject =
            reinterpret_cast<CreateObjectFunc>(reinterpret_cast<void*>(GetProcAddress(library.module(), "CreateObject")));
        if (!createObject) {
            writeDiagnostic("Can not get CreateObject");
            return 1;
        }
        const GUID classId = formatClassId(kind);
        void* handler = nullptr;
        const HRESULT created = createObject(&classId, &IID_IInArchive, &handler);
        archive = static_cast<IInArchive*>(handler);
        if (created != S_OK || !archive) {
            writeDiagnostic("Can not get class object");
            return 1;
        }

        auto stream = ComPtr<CInFileStream>::share(NewEngineObject<CInFileStream>());
        if (!stream->open(archivePath)) {
            writeDiagnostic("Can not open archive file");
            return 1;
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
            if (made != S_OK || !archive) {
                writeDiagnostic("Can not get class object");
                return 1;
            }
        }

        auto callback = ComPtr<CArchiveOpenCallback>::share(NewEngineObject<CArchiveOpenCallback>());
        if (password && !password->empty()) callback->setPassword(*password);

        if (archive->Open(static_cast<IInStream*>(stream.get()), nullptr,
                          static_cast<IArchiveOpenCallback*>(callback.get())) != S_OK) {
            writeDiagnostic("Can not open archive");
            return 1;
        }
        if (password) *password = callback->password();
        return 0;
    } catch (const CNewException&) {
    } catch (const std::bad_alloc&) {
    }
    writeDiagnostic("Can not open archive");
    return 1;
}
