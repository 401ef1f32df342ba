#include "ops/creation_options.h"

#include <algorithm>
#include <cwctype>

namespace {

bool Same(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (towlower(a[i]) != towlower(b[i])) return false;
    return true;
}

struct FormatInfo {
    const wchar_t* name;
    const wchar_t* extension;
};

constexpr FormatInfo kFormats[] = {{L"7z", L"7z"},       {L"zip", L"zip"}, {L"tar", L"tar"}, {L"gzip", L"gz"},
                                   {L"bzip2", L"bz2"},   {L"xz", L"xz"},   {L"wim", L"wim"}};

bool HasEncoder(const std::vector<std::wstring>& encoders, std::wstring_view method) {
    return std::any_of(encoders.begin(), encoders.end(), [&](const std::wstring& e) { return Same(e, method); });
}

}  // namespace

std::vector<std::wstring> CreatableFormats() {
    std::vector<std::wstring> formats;
    for (const FormatInfo& format : kFormats) formats.emplace_back(format.name);
    return formats;
}

std::vector<std::wstring> OfferedFormats(size_t itemCount, bool onlyOneFile) {
    std::vector<std::wstring> formats;
    for (const FormatInfo& format : kFormats)
        if (!IsSingleFileFormat(format.name) || (itemCount == 1 && onlyOneFile)) formats.emplace_back(format.name);
    return formats;
}

std::wstring FormatExtension(std::wstring_view format) {
    for (const FormatInfo& info : kFormats)
        if (Same(info.name, format)) return info.extension;
    return std::wstring(format);
}

std::wstring FormatOfExtension(std::wstring_view path) {
    const size_t dot = path.rfind(L'.');
    const size_t slash = path.find_last_of(L"\\/");
    if (dot == std::wstring_view::npos || (slash != std::wstring_view::npos && slash > dot)) return {};
    const std::wstring_view extension = path.substr(dot + 1);
    for (const FormatInfo& info : kFormats)
        if (Same(info.extension, extension)) return info.name;
    return {};
}

bool IsSingleFileFormat(std::wstring_view format) {
    return Same(format, L"gzip") || Same(format, L"bzip2") || Same(format, L"xz");
}

bool LevelApplies(std::wstring_view format) { return !Same(format, L"tar") && !Same(format, L"wim"); }
bool SolidApplies(std::wstring_view format) { return Same(format, L"7z"); }
bool EncryptionApplies(std::wstring_view format) { return Same(format, L"7z") || Same(format, L"zip"); }
bool EncryptNamesApplies(std::wstring_view format) { return Same(format, L"7z"); }

const std::vector<LevelChoice>& CompressionLevels() {
    static const std::vector<LevelChoice> levels = {{0, L"Store"},  {1, L"Fastest"}, {3, L"Fast"},
                                                    {5, L"Normal"}, {7, L"Maximum"}, {9, L"Ultra"}};
    return levels;
}

std::vector<std::wstring> MethodsFor(std::wstring_view format, const std::vector<std::wstring>& encoders) {
    std::vector<std::wstring> wanted;
    if (Same(format, L"7z")) wanted = {L"LZMA2", L"LZMA", L"PPMd", L"BZip2", L"Deflate", L"ZSTD"};
    else if (Same(format, L"zip")) wanted = {L"Deflate", L"Deflate64", L"BZip2", L"LZMA", L"PPMd", L"ZSTD"};
    std::vector<std::wstring> offered;
    for (const std::wstring& method : wanted)
        if (HasEncoder(encoders, method)) offered.push_back(method);
    return offered;
}

std::optional<uint64_t> ParseVolumeSize(std::wstring_view text) {
    while (!text.empty() && iswspace(text.front())) text.remove_prefix(1);
    while (!text.empty() && iswspace(text.back())) text.remove_suffix(1);
    size_t at = 0;
    uint64_t whole = 0;
    bool digits = false;
    while (at < text.size() && iswdigit(text[at])) {
        if (whole > (UINT64_MAX - 9) / 10) return std::nullopt;
        whole = whole * 10 + static_cast<uint64_t>(text[at++] - L'0');
        digits = true;
    }
    uint64_t fraction = 0, scale = 1;
    if (at < text.size() && (text[at] == L'.' || text[at] == L',')) {
        ++at;
        while (at < text.size() && iswdigit(text[at])) {
            if (scale < 1000000) {
                fraction = fraction * 10 + static_cast<uint64_t>(text[at] - L'0');
                scale *= 10;
            }
            ++at;
            digits = true;
        }
    }
    if (!digits) return std::nullopt;
    while (at < text.size() && text[at] == L' ') ++at;
    uint64_t unit = 1;
    if (at < text.size()) {
        switch (towupper(text[at])) {
        case L'B': unit = 1; break;
        case L'K': unit = 1ull << 10; break;
        case L'M': unit = 1ull << 20; break;
        case L'G': unit = 1ull << 30; break;
        default: return std::nullopt;
        }
        ++at;
        if (unit != 1 && at < text.size() && towupper(text[at]) == L'B') ++at;
        // A preset's description ("650M - CD") follows a blank and a dash.
        while (at < text.size() && text[at] == L' ') ++at;
        if (at < text.size() && text[at] != L'-') return std::nullopt;
    }
    if (whole > UINT64_MAX / unit) return std::nullopt;
    const uint64_t bytes = whole * unit + fraction * unit / scale;
    if (bytes == 0) return std::nullopt;
    return bytes;
}

std::wstring CreationProblem(const CreationOptions& options, const CreationContext& context) {
    const std::wstring& format = options.format;
    if (context.archiveExists) {
        if (!context.existingWritable)
            return L"The archive exists and cannot be changed (it is " +
                   (context.existingFormat.empty() ? std::wstring(L"no archive the program can update")
                                                   : L"a " + context.existingFormat + L" archive the archiver cannot update") +
                   L"). Please choose another name.";
        if (!context.existingFormat.empty() && !Same(context.existingFormat, format))
            return L"The archive exists as a " + context.existingFormat +
                   L" archive: files are added to it in that format. Please choose " + context.existingFormat +
                   L", or another name.";
        if (options.volumeSize != 0)
            return L"A split archive is always written anew: please choose a name that does not exist, or no "
                   L"volume size.";
        if (IsSingleFileFormat(format))
            return L"A " + format + L" file holds one file and cannot be added to. Please choose another name.";
    } else if (options.mode == UpdateMode::Freshen) {
        return L"Freshen only replaces entries of an existing archive, and this one does not exist yet. Please "
               L"choose another update mode.";
    }
    if (options.volumeSize != 0 && context.splitPartsExist)
        return L"Parts of a split archive of this name exist already. Please choose another name.";
    if (IsSingleFileFormat(format) && !context.onlyOneFile)
        return L"A " + format + L" archive holds exactly one file. To pack " +
               (context.itemCount > 1 ? std::wstring(L"several items") : std::wstring(L"a folder")) +
               L", please choose 7z, zip or tar.";
    if (context.hasPassword && !EncryptionApplies(format))
        return L"A " + format + L" archive cannot be encrypted. Please choose 7z or zip, or leave the password empty.";
    if (options.encryptNames && !EncryptNamesApplies(format))
        return L"Only a 7z archive can encrypt the names of its files.";
    if (options.encryptNames && !context.hasPassword)
        return L"Encrypting the file names needs a password.";
    return {};
}

std::vector<std::wstring> ArchiverSwitches(const CreationOptions& options, bool encrypted) {
    const std::wstring& format = options.format;
    std::vector<std::wstring> switches = {L"-t" + format};
    if (LevelApplies(format)) switches.push_back(L"-mx=" + std::to_wstring(options.level));
    // Stored data has no method; the level says so.
    if (!options.method.empty() && options.level != 0) {
        if (Same(format, L"7z")) switches.push_back(L"-m0=" + options.method);
        else if (Same(format, L"zip")) switches.push_back(L"-mm=" + options.method);
    }
    if (SolidApplies(format)) switches.push_back(options.solid ? L"-ms=on" : L"-ms=off");
    if (options.volumeSize != 0) switches.push_back(L"-v" + std::to_wstring(options.volumeSize) + L"b");
    if (encrypted && Same(format, L"zip"))
        switches.push_back(Same(options.encryption, L"ZipCrypto") ? L"-mem=ZipCrypto" : L"-mem=AES256");
    if (encrypted && EncryptNamesApplies(format)) switches.push_back(options.encryptNames ? L"-mhe=on" : L"-mhe=off");
    return switches;
}

bool ThreadsFollowTheFiles(std::wstring_view format) { return Same(format, L"zip"); }

std::wstring ThreadSwitchFor(std::wstring_view format, uint64_t files, uint64_t bytes) {
    // Measured: at 16 KB a file one thread is already no faster, at 100 KB it is much slower.
    constexpr uint64_t kTinyFileBytes = 4096;
    if (!ThreadsFollowTheFiles(format) || files < 2 || bytes > files * kTinyFileBytes) return {};
    return L"-mmt=1";
}

std::wstring UpdateActions(UpdateMode mode) {
    switch (mode) {
    case UpdateMode::Update: return L"p1q1r2x1y2z1w2";
    case UpdateMode::Freshen: return L"p1q1r0x1y2z1w2";
    case UpdateMode::Synchronize: return L"p1q0r2x1y2z1w2";
    case UpdateMode::AddAndReplace: break;
    }
    return L"p1q1r2x2y2z2w2";
}

std::wstring UnavailableChoicesNote(const CreationOptions& options) {
    const std::wstring& format = options.format;
    if (Same(format, L"tar") || Same(format, L"wim"))
        return L"A " + format + L" archive stores files as they are: it has no compression level or method, no "
               L"solid mode and no encryption.";
    if (IsSingleFileFormat(format))
        return L"A " + format + L" file compresses one file with its own method: it has no solid mode and no "
               L"encryption.";
    std::wstring note;
    if (options.level == 0) note = L"Store keeps the data as it is, so no method applies. ";
    if (Same(format, L"zip")) note += L"Solid mode and encrypted file names belong to 7z archives.";
    else if (Same(format, L"7z")) note += L"A 7z archive is always encrypted with AES-256.";
    return note;
}

std::wstring ArchiveNameForFormat(const std::wstring& archivePath, std::wstring_view format,
                                  const std::wstring& singleSource) {
    const size_t slash = archivePath.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"" : archivePath.substr(0, slash + 1);
    std::wstring leaf = archivePath.substr(folder.size());
    if (!FormatOfExtension(leaf).empty()) leaf.erase(leaf.rfind(L'.'));
    const std::wstring extension = FormatExtension(format);
    const size_t sourceSlash = singleSource.find_last_of(L"\\/");
    const std::wstring sourceName =
        sourceSlash == std::wstring::npos ? singleSource : singleSource.substr(sourceSlash + 1);
    if (IsSingleFileFormat(format) && !sourceName.empty()) return folder + sourceName + L"." + extension;
    if (!sourceName.empty() && Same(leaf, sourceName)) {
        // Back from a one-file format: the file's own extension gives way, as in the first proposal.
        const size_t dot = leaf.rfind(L'.');
        if (dot != std::wstring::npos && dot > 0) leaf.erase(dot);
    }
    return folder + leaf + L"." + extension;
}
