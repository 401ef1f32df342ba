#include "engine/format_detection.h"

#include <algorithm>
#include <cwctype>

#include "engine/archive_kind.h"
#include "engine/engine_interfaces.h"

namespace {

bool ListsExtension(const EngineFormat& format, std::wstring_view extension) {
    if (extension.empty()) return false;
    return std::any_of(format.extensions.begin(), format.extensions.end(),
                       [&](const std::wstring& listed) { return equalsIgnoringCase(listed, extension); });
}

bool IsSplitFormat(const EngineFormat& format) { return equalsIgnoringCase(format.name, L"Split"); }
bool IsPreArchive(const EngineFormat& format) { return (format.flags & kFormatPreArchive) != 0; }

// Extensions of programs and documents that the shell, not the program, opens on a double-click.
bool ShellOpensFirst(std::wstring_view extension) {
    static const wchar_t* const kExtensions[] = {
        L"exe", L"dll", L"sys", L"com", L"scr", L"cpl", L"ocx", L"msi", L"msp", L"msm", L"doc", L"xls", L"ppt",
        L"docx", L"xlsx", L"pptx", L"odt", L"ods", L"odp", L"epub", L"jar", L"appx", L"chm", L"chi", L"chq",
        L"chw", L"lit", L"swf", L"flv", L"obj"};
    return std::any_of(std::begin(kExtensions), std::end(kExtensions),
                       [&](const wchar_t* listed) { return equalsIgnoringCase(listed, extension); });
}

}  // namespace

std::wstring extensionOf(std::wstring_view fileName) {
    const size_t slash = fileName.find_last_of(L"\\/:");
    if (slash != std::wstring_view::npos) fileName.remove_prefix(slash + 1);
    const size_t dot = fileName.rfind(L'.');
    if (dot == std::wstring_view::npos) return {};
    std::wstring extension(fileName.substr(dot + 1));
    for (wchar_t& c : extension) c = static_cast<wchar_t>(towlower(c));
    return extension;
}

bool signatureMatches(const EngineFormat& format, std::string_view head) {
    for (const std::string& signature : format.signatures) {
        if (format.signatureOffset + signature.size() > head.size()) continue;
        if (head.compare(format.signatureOffset, signature.size(), signature) == 0) return true;
    }
    return false;
}

std::vector<FormatCandidate> candidateFormats(const std::vector<EngineFormat>& formats, std::wstring_view fileName,
                                              std::string_view head, std::wstring_view preferred) {
    const std::wstring extension = extensionOf(fileName);
    std::vector<FormatCandidate> candidates;
    std::vector<bool> taken(formats.size(), false);
    const auto take = [&](size_t index, bool embedded) {
        candidates.push_back({index, embedded});
        if (!embedded) taken[index] = true;
    };

    // By signature: the preferred format, then those of the extension, then the rest with the
    // longer signatures (less likely to match by chance) first.
    std::vector<size_t> matched;
    bool program = false;
    for (size_t i = 0; i < formats.size(); ++i) {
        if (IsSplitFormat(formats[i]) || !signatureMatches(formats[i], head)) continue;
        if (IsPreArchive(formats[i])) {
            program = true;
            continue;
        }
        matched.push_back(i);
    }
    const auto rank = [&](size_t i) {
        if (!preferred.empty() && equalsIgnoringCase(formats[i].name, preferred)) return 0;
        return ListsExtension(formats[i], extension) ? 1 : 2;
    };
    const auto longest = [&](size_t i) {
        size_t length = 0;
        for (const std::string& signature : formats[i].signatures)
            if (formats[i].signatureOffset + signature.size() <= head.size() &&
                head.compare(formats[i].signatureOffset, signature.size(), signature) == 0)
                length = std::max(length, signature.size());
        return length;
    };
    std::stable_sort(matched.begin(), matched.end(), [&](size_t a, size_t b) {
        if (rank(a) != rank(b)) return rank(a) < rank(b);
        return longest(a) > longest(b);
    });
    for (size_t i : matched) take(i, false);

    // By name: the preferred format and those that list the extension, signature or not.
    for (size_t i = 0; i < formats.size(); ++i)
        if (!taken[i] && !preferred.empty() && equalsIgnoringCase(formats[i].name, preferred) &&
            !IsSplitFormat(formats[i]))
            take(i, false);
    for (size_t i = 0; i < formats.size(); ++i)
        if (!taken[i] && !IsSplitFormat(formats[i]) && !IsPreArchive(formats[i]) &&
            ListsExtension(formats[i], extension))
            take(i, false);

    // A program (a self-extracting archive, an installer): archives that may stand inside it,
    // and at last the program's own sections.
    if (program) {
        for (size_t i = 0; i < formats.size(); ++i)
            if ((formats[i].flags & kFormatFindSignature) && !IsPreArchive(formats[i])) take(i, true);
        for (size_t i = 0; i < formats.size(); ++i)
            if (IsPreArchive(formats[i]) && signatureMatches(formats[i], head)) take(i, false);
    }
    return candidates;
}

std::wstring defaultItemName(const EngineFormat& format, std::wstring_view archiveFileName) {
    const size_t slash = archiveFileName.find_last_of(L"\\/:");
    if (slash != std::wstring_view::npos) archiveFileName.remove_prefix(slash + 1);
    const size_t dot = archiveFileName.rfind(L'.');
    if (dot != std::wstring_view::npos && dot > 0) {
        const std::wstring_view extension = archiveFileName.substr(dot + 1);
        for (size_t i = 0; i < format.extensions.size(); ++i) {
            if (!equalsIgnoringCase(format.extensions[i], extension)) continue;
            const std::wstring stem(archiveFileName.substr(0, dot));
            const std::wstring added = i < format.addExtensions.size() ? format.addExtensions[i] : L"*";
            return added == L"*" ? stem : stem + added;
        }
    }
    return std::wstring(archiveFileName) + L"~";
}

bool isStreamFormat(const EngineFormat& format) {
    // Their single item is the archive's content, named after the archive.
    return (format.flags & kFormatKeepName) != 0 ||
           std::any_of(format.addExtensions.begin(), format.addExtensions.end(),
                       [](const std::wstring& added) { return equalsIgnoringCase(added, L".tar"); });
}

bool namesTar(std::wstring_view itemName) {
    return itemName.size() > 4 && equalsIgnoringCase(itemName.substr(itemName.size() - 4), L".tar");
}

ArchiveGuess guessArchive(const std::vector<EngineFormat>& formats, std::wstring_view fileName, std::string_view head) {
    if (archiveKindOf(fileName) != None) return ArchiveGuess::ByName;
    const std::wstring extension = extensionOf(fileName);
    if (ShellOpensFirst(extension)) return ArchiveGuess::NotArchive;
    bool content = false;
    for (const EngineFormat& format : formats) {
        if (IsPreArchive(format) || IsSplitFormat(format)) continue;
        if (ListsExtension(format, extension)) return ArchiveGuess::ByName;
        // A short signature (two bytes) matches many files that are no archives.
        if (signatureMatches(format, head))
            for (const std::string& signature : format.signatures)
                if (signature.size() >= 4 && format.signatureOffset + signature.size() <= head.size() &&
                    head.compare(format.signatureOffset, signature.size(), signature) == 0)
                    content = true;
    }
    if (content) return ArchiveGuess::ByContent;
    // Split archives: "x.7z.001" and the volumes after it.
    return extension.size() >= 3 && extension.find_first_not_of(L"0123456789") == std::wstring::npos
               ? ArchiveGuess::ByContent
               : ArchiveGuess::NotArchive;
}
