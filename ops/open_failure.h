#pragma once
// What the user is told when an archive does not open.
#include <string>

struct OpenFailure;

// "Couldn't open the file." and, on a line of its own, why: not an archive of a format the
// program reads, damaged (and how), the file unreadable (naming it and the system's reason), a
// wrong password, too many entries for memory. Empty for a cancel.
std::wstring OpenFailureMessage(const OpenFailure& failure, const std::wstring& archivePath);
