#pragma once
// The folder that an extraction "to a folder of its own" writes into: made when it is missing,
// and taken away again when the run wrote nothing into it (a Cancel at the password prompt, an
// archive that did not open), so that a run that did nothing leaves nothing behind.
#include <string>
#include <vector>

class ExtractDestination {
public:
    // Makes `folder` and every folder above it that is missing. False when it cannot be made
    // (GetLastError tells why).
    bool Make(const std::wstring& folder);
    // Removes the folders Make made, deepest first, as long as they are empty: a folder that
    // existed before, or that holds anything, stays.
    void RemoveUnused();

private:
    std::vector<std::wstring> made_;  // upper ones first
};
