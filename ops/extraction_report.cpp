#include "ops/extraction_report.h"

#include <cstdint>
#include <vector>

#include "engine/engine_interfaces.h"
#include "ops/fault_texts.h"

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

void AppendNote(std::wstring& text, const std::wstring& item, const std::wstring& detail, const wchar_t* joiner) {
    text += L"\n    " + Shown(item);
    if (!detail.empty()) text += joiner + Shown(detail);
}

void AppendNotes(std::wstring& text, const std::vector<ExtractionOutcome::ItemNote>& notes, uint64_t total,
                 const wchar_t* joiner) {
    for (const auto& note : notes) AppendNote(text, note.item, note.detail, joiner);
    if (total > notes.size()) text += L"\n    ... and " + std::to_wstring(total - notes.size()) + L" more";
}

void AppendFailures(std::wstring& text, const std::vector<ExtractionOutcome::ItemFailure>& failures, uint64_t total) {
    for (const auto& failure : failures)
        AppendNote(text, FailedItemName(failure), ItemFaultText(failure.fault), L"  -  ");
    if (total > failures.size()) text += L"\n    ... and " + std::to_wstring(total - failures.size()) + L" more";
}

}  // namespace

std::wstring FailedItemName(const ExtractionOutcome::ItemFailure& failure) {
    return failure.wholeArchive ? L"[archive]" : failure.item;
}

std::wstring OpenProblemText(const ExtractionOutcome& outcome) { return OpenFailureCause(outcome.openFailure); }

std::wstring ArchiveProblemText(const ExtractionOutcome& outcome) {
    ArchiveDamage damage = outcome.damage;
    damage.dataAfterEnd = false;
    return ArchiveDamageText(damage);
}

std::wstring ArchiveWarningText(const ExtractionOutcome& outcome) {
    return outcome.damage.dataAfterEnd ? ArchiveFlagsText(kArcDataAfterEnd) : std::wstring();
}

std::wstring EngineProblemText(const ExtractionOutcome& outcome) {
    return outcome.engineError != S_OK ? EngineErrorText(outcome.engineError) : std::wstring();
}

std::wstring ExtractionMessage(const ExtractionOutcome& outcome, const std::wstring& archiveName) {
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
    if (outcome.notMovedAside != 0) {
        notes += L"\n" + Count(outcome.notMovedAside, L"existing file", L"existing files") +
                 L" could not be renamed out of the way and stayed as they were; the new ones were written beside them:";
        AppendNotes(notes, outcome.besides, outcome.notMovedAside, L"  as  ");
    }
    if (outcome.unmarked != 0)
        notes += L"\nWarning: " + Count(outcome.unmarked, L"file", L"files") +
                 L" could not be given the archive's mark of the web (it came from the internet); be careful "
                 L"opening them.";
    const std::wstring warning = ArchiveWarningText(outcome);
    if (!warning.empty()) notes += L"\nWarning: there is " + warning + L".";

    if (outcome.succeeded()) {
        if (notes.empty()) return {};
        // The first note follows on the first line, as it always has.
        return archiveName + L" was extracted." + (notes.rfind(L"\nWarning", 0) == 0 ? notes : L" " + notes.substr(1));
    }

    std::wstring text = L"Could not extract " + archiveName + L"\n";
    if (!outcome.opened) {
        text += L"\nThe file could not be opened as an archive";
        const std::wstring problem = OpenProblemText(outcome);
        if (!problem.empty()) text += L": " + problem;
        return text + L".";
    }
    if (outcome.wrongPassword) text += L"\nWrong password.";
    if (const std::wstring damage = ArchiveProblemText(outcome); !damage.empty())
        text += L"\nThe archive is damaged: " + damage + L".";
    if (const std::wstring stopped = EngineProblemText(outcome); !stopped.empty())
        text += L"\nThe extraction stopped: " + stopped + L".";
    if (outcome.missing != 0)
        text += L"\n" + Count(outcome.missing, L"item was", L"items were") + L" never read from the archive.";
    // With a wrong password the failed items are the encrypted ones: the password says it all.
    if (outcome.failed != 0 && !outcome.wrongPassword) {
        text += L"\n" + Count(outcome.failed, L"item", L"items") + L" could not be extracted:";
        AppendFailures(text, outcome.failures, outcome.failed);
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
