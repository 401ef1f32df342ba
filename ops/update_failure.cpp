#include "ops/update_failure.h"

#include <algorithm>
#include <iterator>

#include "base/system_error.h"
#include "catalog/path_text.h"

namespace {

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

}  // namespace

std::wstring UpdateFailureCause(UpdateFailure failure) {
    switch (failure) {
    case UpdateFailure::NotStarted: return L"the archiver (core\\7z.exe) could not be started";
    case UpdateFailure::ArchiverEnded: return L"the archiver ended before it had finished";
    case UpdateFailure::WrongPassword: return L"the password is wrong";
    case UpdateFailure::DiskFull: return L"the disk is full";
    case UpdateFailure::ReadOnly: return L"the archive is read-only";
    case UpdateFailure::AccessDenied: return L"access to the archive or its folder is denied";
    case UpdateFailure::InUse: return L"the archive is in use by another program";
    case UpdateFailure::Damaged: return L"the archive is damaged or is not an archive of its kind";
    case UpdateFailure::UnreadableFiles: return L"some of the files could not be read";
    case UpdateFailure::Unverified: return L"the archiver's result did not hold the expected entries";
    case UpdateFailure::None:
    case UpdateFailure::Unknown: break;
    }
    return {};
}

std::wstring UpdateFailureMessage(const std::wstring& archiveName, const std::wstring& cause, bool archiveExisted) {
    std::wstring text = L"Could not update " + archiveName;
    if (!cause.empty()) text += L": " + cause;
    text += archiveExisted ? L".\nThe archive was not changed." : L".\nNo archive was made.";
    return text;
}

UpdateFailure FailureOfSystemError(DWORD code) {
    switch (code) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return UpdateFailure::DiskFull;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return UpdateFailure::AccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE: return UpdateFailure::InUse;
    default: return UpdateFailure::Unknown;
    }
}

std::vector<CauseNamingText> CauseNamingSystemTexts() {
    std::vector<CauseNamingText> texts;
    for (DWORD code : {ERROR_DISK_FULL, ERROR_HANDLE_DISK_FULL, ERROR_SHARING_VIOLATION, ERROR_LOCK_VIOLATION,
                       ERROR_ACCESS_DENIED, ERROR_WRITE_PROTECT}) {
        std::string text = WideToUtf8Lossy(SystemOwnText(code));
        if (!text.empty()) texts.emplace_back(std::move(text), FailureOfSystemError(code));
    }
    return texts;
}

UpdateFailure FailureInToolOutput(const std::vector<std::string>& lines,
                                  const std::vector<CauseNamingText>& systemTexts) {
    // A wrong password is the archiver's own words, and it outranks what follows from it.
    for (const std::string& line : lines)
        if (Contains(line, "Wrong password")) return UpdateFailure::WrongPassword;
    for (const auto& [text, failure] : systemTexts)
        for (const std::string& line : lines)
            if (Contains(line, text)) return failure;
    for (const std::string& line : lines) {
        if (Contains(line, "Cannot open the file as") || Contains(line, "Can not open the file as") ||
            Contains(line, "Is not archive") || Contains(line, "Unexpected end of archive") ||
            Contains(line, "Headers Error") || Contains(line, "CRC Failed") || Contains(line, "Data Error"))
            return UpdateFailure::Damaged;
        if (line.rfind("WARNING", 0) == 0) return UpdateFailure::UnreadableFiles;
    }
    return UpdateFailure::Unknown;
}

std::wstring ArchiverErrorWords(const std::vector<std::string>& lines) {
    constexpr size_t kWordLines = 6;
    constexpr std::string_view kHeaders[] = {"ERROR", "System ERROR", "Open ERROR", "Command Line Error"};
    std::string words;
    size_t taken = 0;
    for (const std::string& line : lines) {
        std::string_view text = line;
        if (taken == 0) {
            // Where its error begins; the header's own words count when it has any.
            const bool header = std::any_of(std::begin(kHeaders), std::end(kHeaders),
                                            [&](std::string_view start) { return text.rfind(start, 0) == 0; });
            if (!header) continue;
            const size_t colon = text.find(':');
            text = colon == std::string_view::npos ? std::string_view() : text.substr(colon + 1);
        } else if (text.find_first_not_of('-') == std::string_view::npos || taken == kWordLines) {
            break;
        }
        ++taken;
        const size_t start = text.find_first_not_of(' ');
        if (start == std::string_view::npos) continue;
        text = text.substr(start);
        while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
        if (!words.empty()) words += ' ';
        words.append(text);
    }
    if (words.empty()) return {};
    while (!words.empty() && (words.back() == '.' || words.back() == ':')) words.pop_back();
    return L"the archiver said \"" + Utf8ToWideLossy(words) + L"\"";
}

bool RefusesNamesDifferingInCase(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        if (Contains(line, "Duplicate filename in archive")) return true;
    return false;
}

std::wstring PasswordProblem(ArchiveKind kind, std::wstring_view password) {
    if (kind != Zip) return {};
    for (wchar_t c : password)
        if (c < 0x20 || c > 0x7E) return L"a .zip archive takes only printable ASCII characters in its password";
    return {};
}
