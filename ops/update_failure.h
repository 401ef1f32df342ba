#pragma once
// Why an add or a delete did not change the archive, and how the user is told.
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/archive_kind.h"

enum class UpdateFailure {
    None,
    Unknown,          // no cause could be told
    NotStarted,       // the archiver could not be started
    ArchiverEnded,    // it ended without saying it had finished (killed, crashed)
    WrongPassword,
    DiskFull,
    ReadOnly,         // the archive has the read-only attribute
    AccessDenied,
    InUse,            // another program holds the archive
    Damaged,          // the archive does not open as an archive of its kind
    UnreadableFiles,  // files to add could not be read
    Unverified,       // the archiver's result does not hold what it should
};

// The cause as the message states it ("the disk is full"); empty for `Unknown`.
std::wstring UpdateFailureCause(UpdateFailure failure);

// "Could not update <name>", the cause when known, and what became of the archive.
std::wstring UpdateFailureMessage(const std::wstring& archiveName, const std::wstring& cause, bool archiveExisted);

// The cause a system error code names (ERROR_DISK_FULL: `DiskFull`); `Unknown` for others.
UpdateFailure FailureOfSystemError(DWORD code);

// A system error text (as the archiver prints it, UTF-8) with the cause it names.
using CauseNamingText = std::pair<std::string, UpdateFailure>;

// The texts of the system errors that name a cause, in the system's language: the archiver
// prints these texts, not the codes.
std::vector<CauseNamingText> CauseNamingSystemTexts();

// The cause found in what the archiver printed (its lines, UTF-8): its own words for a wrong
// password or a damaged archive, or the text of a system error that names a cause.
UpdateFailure FailureInToolOutput(const std::vector<std::string>& lines,
                                  const std::vector<CauseNamingText>& systemTexts);

// What the archiver said of a failure of its own (from its first error line: "ERROR:",
// "Command Line Error:", "System ERROR:", ...), as a clause of a message: `the archiver said
// "Duplicate filename in archive: a.txt A.TXT"`. Empty when it printed no error.
std::wstring ArchiverErrorWords(const std::vector<std::string>& lines);

// The archiver refused to update an archive holding names that differ only in case, which it
// does when it matches names without regard to case.
bool RefusesNamesDifferingInCase(const std::vector<std::string>& lines);

// Why a password cannot protect an archive of this kind, as a clause of a message
// ("a .zip archive takes only ..."); empty when it can. The archiver refuses anything but
// printable ASCII for zip encryption, whichever method is chosen.
std::wstring PasswordProblem(ArchiveKind kind, std::wstring_view password);
