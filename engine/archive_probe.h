#pragma once
// Quick looks at a file, without opening it as an archive: does it bear the mark of a format the
// engine reads?
#include <string>

#include "engine/format_detection.h"

// The first bytes of a file (up to the signature tests' need); empty when it cannot be read.
std::string readFileHead(const std::wstring& path);

// True when some format of the engine may read the file: by its signature, its extension, or as
// a numbered volume of a split archive.
bool isReadableArchive(const std::wstring& path);

// How the program treats the file when the user opens it (see ArchiveGuess).
ArchiveGuess guessArchiveFile(const std::wstring& path);

// The format whose signature the file bears (the extension decides between several); empty
// when none does, or when the file is a part of a split archive. Opens nothing, so it asks for
// no password.
std::wstring formatBySignature(const std::wstring& path);

// True when the archiver can change archives of this format in place: it writes them, and they
// hold more than one compressed stream.
bool formatIsUpdatable(std::wstring_view format);
