#include "ops/fault_texts.h"

#include <cwchar>

#include "base/system_error.h"
#include "engine/engine_interfaces.h"

namespace {

// Appends a part that the text does not hold yet.
void Add(std::wstring& text, const std::wstring& part) {
    if (part.empty() || text.find(part) != std::wstring::npos) return;
    if (!text.empty()) text += L"; ";
    text += part;
}

}  // namespace

std::wstring ArchiveFlagsText(uint32_t flags) {
    static constexpr struct {
        uint32_t bit;
        const wchar_t* text;
    } kNames[] = {
        {kArcIsNotArc, L"not an archive"},
        {kArcHeadersError, L"damaged headers"},
        {kArcEncryptedHeadersError, L"damaged encrypted headers"},
        {kArcUnavailableStart, L"its start is missing"},
        {kArcUnconfirmedStart, L"its start is not confirmed"},
        {kArcUnexpectedEnd, L"unexpected end of archive"},
        {kArcDataAfterEnd, L"data after the end of the archive"},
        {kArcUnsupportedMethod, L"unsupported method"},
        {kArcUnsupportedFeature, L"unsupported feature"},
        {kArcDataError, L"damaged data"},
        {kArcCrcError, L"CRC error"},
    };
    std::wstring text;
    uint32_t named = 0;
    for (const auto& name : kNames) {
        if (!(flags & name.bit)) continue;
        if (!text.empty()) text += L"; ";
        text += name.text;
        named |= name.bit;
    }
    if (flags & ~named) {
        if (!text.empty()) text += L"; ";
        text += L"other damage (flags " + std::to_wstring(flags & ~named) + L")";
    }
    return text;
}

std::wstring ArchiveDamageText(const ArchiveDamage& damage) {
    std::wstring text = ArchiveFlagsText(damage.flags);
    for (const std::wstring& words : damage.engineWords) Add(text, words);
    if (damage.fileShort) Add(text, ArchiveFlagsText(kArcUnexpectedEnd));
    if (damage.dataAfterEnd) Add(text, ArchiveFlagsText(kArcDataAfterEnd));
    return text;
}

std::wstring EngineResultText(int32_t result) {
    switch (result) {
    case kUnsupportedMethod: return L"unsupported compression method";
    case kDataError: return L"damaged data";
    case kCRCError: return L"damaged data (CRC error)";
    case kUnavailable: return L"its data is not in the archive";
    case kUnexpectedEnd: return L"the archive ends inside the item's data";
    case kDataAfterEnd: return L"unexpected data after the item";
    case kIsNotArc: return L"not an archive";
    case kHeadersError: return L"damaged headers";
    case kWrongPassword: return L"wrong password";
    default: return L"unknown error " + std::to_wstring(result);
    }
}

std::wstring EngineErrorText(HRESULT error) {
    if (error == E_OUTOFMEMORY) return L"out of memory";
    if (HRESULT_FACILITY(error) == FACILITY_WIN32) return SystemErrorText(HRESULT_CODE(error));
    wchar_t text[32];
    swprintf(text, 32, L"engine error 0x%08lX", static_cast<unsigned long>(error));
    return text;
}

std::wstring ItemFaultText(const ItemFault& fault) {
    using Kind = ItemFault::Kind;
    switch (fault.kind) {
    case Kind::None: return {};
    case Kind::EngineResult: return EngineResultText(static_cast<int32_t>(fault.code));
    case Kind::SystemError: return SystemErrorText(static_cast<DWORD>(fault.code));
    case Kind::IncompleteData: return L"incomplete data";
    case Kind::FolderInTheWay: return L"a folder of that name is in the way";
    case Kind::NameTooLong: return L"the name is too long";
    case Kind::PasswordOrDamage: return L"wrong password, or damaged data";
    case Kind::NotInArchive: return L"not in the archive";
    case Kind::LinkToMissing: return L"a link to " + fault.target + L", which is not in the archive";
    case Kind::LinkToLater: return L"a link to " + fault.target + L", which comes after it in the archive";
    case Kind::LinkSourceFailed: return L"a link to " + fault.target + L", which could not be extracted";
    case Kind::LinkSourceUnread: return L"a link to " + fault.target + L", which was not read";
    case Kind::FileUnreadable: return L"the file cannot be read";
    case Kind::FileReadShort: return L"the file could not be read to its end";
    case Kind::NoSuchChecksum: return L"the engine offers no such checksum";
    }
    return {};
}

std::wstring OpenFailureCause(const OpenFailure& failure) {
    using Kind = OpenFailure::Kind;
    switch (failure.kind) {
    case Kind::None: return {};
    case Kind::Unreadable: return SystemErrorText(failure.systemError);
    case Kind::EngineUnusable:
        return failure.engineLoaded ? L"the archive engine is not usable"
                                    : L"the archive engine core\\7z.dll could not be loaded";
    case Kind::OutOfMemory: return L"out of memory";
    case Kind::WrongPassword: return L"wrong password";
    case Kind::Stopped: return L"not an archive of its type, or damaged";
    case Kind::NotAnArchive:
    case Kind::Damaged:
        if (failure.noFormatTried) return L"not a known archive type";
        return failure.kindNamed ? L"not an archive of its type, or damaged"
                                 : L"not an archive the engine reads, or damaged";
    }
    return {};
}

std::wstring ReadFailureText(const ReadFailure& failure) {
    if (failure.open.kind != OpenFailure::Kind::None) return OpenFailureCause(failure.open);
    return failure.engineError != S_OK ? EngineErrorText(failure.engineError) : std::wstring();
}
