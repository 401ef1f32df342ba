// Extracting an archive: the engine decodes every item, the callback writes the wanted ones.
#include "engine/extraction.h"

#include <new>

#include "engine/archive_listing.h"
#include "engine/console_text.h"
#include "engine/extract_callback.h"

int extractArchive(const std::wstring& archivePath, ArchiveKind kind, const std::wstring& destination,
                   std::wstring& password, const std::vector<std::wstring>* selection) {
    try {
        ArchiveSession session;
        std::wstring knownPassword = password;
        if (openArchive(&knownPassword, session.library, session.archive, archivePath, kind) != 0) return 1;
        // A password that opened an encrypted item list is right: keep it for the caller.
        if (!knownPassword.empty()) password = knownPassword;

        auto callback = ComPtr<CArchiveExtractCallback>::share(NewEngineObject<CArchiveExtractCallback>());
        callback->init(session.archive, destination, selection);
        if (!knownPassword.empty()) callback->setPassword(knownPassword);

        const HRESULT extracted = session.archive->Extract(nullptr, 0xFFFFFFFF, 0,
                                                           static_cast<IArchiveExtractCallback*>(callback.get()));
        const bool itemsFailed = callback->errorCount() != 0 || callback->unsafeCount() != 0;
        if (extracted != S_OK) writeDiagnostic("Extract Error");
        // A password typed during the extraction is handed back only when it proved right.
        if (extracted == S_OK && !itemsFailed && callback->passwordKnown()) password = callback->password();
        callback.reset();
        session.end();
        return extracted == S_OK && !itemsFailed ? 0 : 1;
    } catch (const CNewException&) {
    } catch (const std::bad_alloc&) {
    }
    writeDiagnostic("Extract Error");
    return 1;
}

int extractAll(const std::wstring& archivePath, const std::wstring& destination) {
    const ArchiveKind kind = archiveKindOf(archivePath);
    if (kind == None) return -1;
    std::wstring password;
    return extractArchive(archivePath, kind, destination, password, nullptr);
}
