#include "ops/open_failure.h"

#include "base/paths.h"
#include "engine/engine_faults.h"
#include "ops/fault_texts.h"

std::wstring OpenFailureMessage(const OpenFailure& failure, const std::wstring& archivePath) {
    std::wstring cause;
    switch (failure.kind) {
    case OpenFailure::Kind::Stopped: return {};
    case OpenFailure::Kind::NotAnArchive: cause = L"It is not an archive of a format this program reads."; break;
    case OpenFailure::Kind::Damaged: {
        const std::wstring damage = ArchiveDamageText(failure.damage);
        cause = damage.empty() ? L"It is damaged, or it is not an archive of its type."
                               : L"The archive is damaged: " + damage + L".";
        break;
    }
    case OpenFailure::Kind::Unreadable:
        cause = L"The file " + FileNameOf(archivePath) + L" could not be read: " + OpenFailureCause(failure) + L".";
        break;
    case OpenFailure::Kind::WrongPassword: cause = L"The password is wrong."; break;
    case OpenFailure::Kind::OutOfMemory:
        cause = L"It holds more entries than fit in the memory of this program.";
        break;
    case OpenFailure::Kind::EngineUnusable: cause = L"The archive engine core\\7z.dll could not be used."; break;
    case OpenFailure::Kind::None: cause = L"Its list of entries could not be read."; break;
    }
    return L"Couldn't open the file.\n" + cause;
}
