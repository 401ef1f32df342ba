#include "engine/extraction_outcome.h"

#include <cwchar>

#include "base/system_error.h"
#include "engine/engine_interfaces.h"

namespace {

std::wstring Count(uint64_t n, const wchar_t* one, const wchar_t* many) {
    return std::to_wstring(n) + L" " + (n == 1 ? one : many);
}

// A message box grows as wide as its longest line: a long name shows its start and its end.
std::wstring Shown(const std::wstring& name) {
    constexpr size_t kLongest = 80, kKept = 38;
    if (name.empty()) return L"(an item without a name)";
    if (name.size() <= kLongest) return name;
    return name.substr(0, kKept) + L"..." + name.substr(name.size() - kKept);
}

void AppendNotes(std::wstring& text, const std::vector<ExtractionOutcome::ItemNote>& notes, uint64_t total,
                 const wchar_t* joiner) {
    for (const auto& note : notes) {
        text += L"\n    " + Shown(note.item);
        if (!note.detail.empty()) text += joiner + Shown(note.detail);
    }
    if (total > notes.size()) text += L"\n    ... and " + std::to_wstring(total - notes.size()) + L" more";
}

}  // namespace

void ExtractionOutcome::noteFailure(const std::wstring& item, const std::wstring& cause) {
    ++failed;
    if (failures.size() < notesKept) failures.push_back({item, cause});
}

void ExtractionOutcome::noteRename(const std::wstring& item, const std::wstring& writtenAs) {
    ++renamed;
    if (renames.size() < kNotesKept) renames.push_back({item, writtenAs});
}

void ExtractionOutcome::noteSkip(const std::wstring& item) {
    ++skipped;
    if (skips.size() < kNotesKept) skips.push_back({item, {}});
}

void ExtractionOutcome::noteSymbolicLink(const std::wstring& item, const std::wstring& target) {
    ++symbolicLinks;
    if (links.size() < kNotesKept) links.push_back({item, target});
}

std::wstring operationResultCause(int32_t result) {
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

std::wstring engineErrorCause(HRESULT error) {
    if (error == E_OUTOFMEMORY) return L"out of memory";
    if (HRESULT_FACILITY(error) == FACILITY_WIN32) return SystemErrorText(HRESULT_CODE(error));
    wchar_t text[32];
    swprintf(text, 32, L"engine error 0x%08lX", static_cast<unsigned long>(error));
    return text;
}

std::wstring archiveFlagsCause(uint32_t flags) {
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

std::wstring extractionMessage(const ExtractionOutcome& outcome, const std::wstring& archiveName) {
    if (outcome.cancelled) return {};
    const std::wstring renamedLine =
        Count(outcome.renamed, L"item has the name of another item and was", L"items have the names of other items and were") +
        L" written under a name of their own:";
    // What the user may want to know of an extraction, failed or not.
    std::wstring notes;
    if (outcome.renamed != 0) {
        notes += L"\n" + renamedLine;
        AppendNotes(notes, outcome.renames, outcome.renamed, L"  as  ");
    }
    if (outcome.symbolicLinks != 0) {
        notes += L"\n" + Count(outcome.symbolicLinks, L"symbolic link was", L"symbolic links were") +
                 L" written as files holding the path they point to:";
        AppendNotes(notes, outcome.links, outcome.symbolicLinks, L"  ->  ");
    }
    if (!outcome.archiveWarning.empty()) notes += L"\nWarning: there is " + outcome.archiveWarning + L".";

    if (outcome.succeeded()) {
        if (notes.empty()) return {};
        // The first note follows on the first line, as it always has.
        return archiveName + L" was extracted." + (notes.rfind(L"\nWarning", 0) == 0 ? notes : L" " + notes.substr(1));
    }

    std::wstring text = L"Could not extract " + archiveName + L"\n";
    if (!outcome.opened) {
        text += L"\nThe file could not be opened as an archive";
        if (!outcome.openProblem.empty()) text += L": " + outcome.openProblem;
        return text + L".";
    }
    if (outcome.wrongPassword) text += L"\nWrong password.";
    if (!outcome.archiveProblem.empty()) text += L"\nThe archive is damaged: " + outcome.archiveProblem + L".";
    if (!outcome.engineProblem.empty()) text += L"\nThe extraction stopped: " + outcome.engineProblem + L".";
    if (outcome.missing != 0)
        text += L"\n" + Count(outcome.missing, L"item was", L"items were") + L" never read from the archive.";
    // With a wrong password the failed items are the encrypted ones: the password says it all.
    if (outcome.failed != 0 && !outcome.wrongPassword) {
        text += L"\n" + Count(outcome.failed, L"item", L"items") + L" could not be extracted:";
        AppendNotes(text, outcome.failures, outcome.failed, L"  -  ");
    }
    if (outcome.skipped != 0) {
        text += L"\n" + Count(outcome.skipped, L"item with an unsafe name was", L"items with unsafe names were") +
                L" skipped:";
        AppendNotes(text, outcome.skips, outcome.skipped, L"");
    }
    text += notes;
    text += L"\n" + Count(outcome.written, L"file was", L"files were") + L" written";
    return text + (outcome.destination.empty() ? L"." : L" to " + outcome.destination + L".");
}
