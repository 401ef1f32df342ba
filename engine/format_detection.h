#pragma once
// Which of the engine's formats a file may be, decided by its first bytes (the formats'
// signatures), with the file's extension as a hint for the order and for formats without a
// signature. Pure: the caller reads the bytes and tries the handlers in the order given.
#include <string>
#include <string_view>
#include <vector>

#include "engine/format_table.h"

struct FormatCandidate {
    size_t format = 0;      // index into the format list
    bool embedded = false;  // the archive may start further into the file (after a program)
};

// The formats to try for a file named `fileName` that begins with `head`, in order: formats
// whose signature stands in `head`, `preferred` first (the handler the program chose by the
// extension) and then those that list the file's extension; formats that list the extension
// but whose signature is not there (their handlers still accept variants); and, when the file
// is a program or system image, the formats that can find an archive inside it, then the
// program's own format. Never the format of split files (volumes are joined before).
std::vector<FormatCandidate> candidateFormats(const std::vector<EngineFormat>& formats, std::wstring_view fileName,
                                              std::string_view head, std::wstring_view preferred = L"");

// True when the format's signature (any of them) stands at its offset in `head`.
bool signatureMatches(const EngineFormat& format, std::string_view head);

// The last extension of a file name, without its dot, in lower case; empty when none.
std::wstring extensionOf(std::wstring_view fileName);

// What the one item of a stream format (gzip, xz, ...) is called when it stores no name:
// "x.tgz" holds "x.tar", "x.gz" holds "x", and a name the format does not list gets "~".
std::wstring defaultItemName(const EngineFormat& format, std::wstring_view archiveFileName);

// A stream format whose item, named like a tar, is opened as the tar inside it.
bool isStreamFormat(const EngineFormat& format);
bool namesTar(std::wstring_view itemName);

// How the program treats a file the user opens (double-click, a typed path, the command line).
enum class ArchiveGuess {
    NotArchive,  // handed to the shell
    ByName,      // an archive by its extension: opened, and a failure is told
    ByContent,   // its bytes look like an archive: opened, and the shell takes it if that fails
};

// Programs, installers and documents that are containers underneath (an .exe, a .docx) are
// started by the shell, as users expect; "Open as archive" opens them anyway.
ArchiveGuess guessArchive(const std::vector<EngineFormat>& formats, std::wstring_view fileName, std::string_view head);

// The number of bytes at the start of a file that every signature test needs.
inline constexpr size_t kSignatureHeadSize = 36 * 1024;
