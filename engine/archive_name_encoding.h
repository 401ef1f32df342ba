#pragma once
// The code page each zip's names are read with, for every reading of it in this process (listing,
// extraction, tests, checksums, the check of an update): the one the user chose for the archive,
// else the one its names tell (name_encoding.h). Safe to call from any thread.
#include <string>

#include "engine/name_encoding.h"

struct ArchiveNameEncoding {
    unsigned codePage = 0;  // 0: not a zip the program could read the names of; the engine's own reading
    bool chosen = false;    // the user chose it for this archive
    NameEncodingGuess guess;
};

// The names' code page of the zip file at `path` (detected once per path, size and write time).
ArchiveNameEncoding nameEncodingFor(const std::wstring& path);
// From now on the archive at `path` is read with `codePage`; 0 goes back to what its names tell.
void chooseNameCodePage(const std::wstring& path, unsigned codePage);
