#pragma once
// The archive formats, coding methods and hash functions the engine library offers, as it
// describes them itself. Read once per process (the library is loaded for that and freed again).
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Format names and extensions compare without regard to case.
bool equalsIgnoringCase(std::wstring_view a, std::wstring_view b);

struct EngineFormat {
    std::wstring name;                        // "7z", "zip", "tar", "gzip", ...
    GUID classId{};
    std::vector<std::wstring> extensions;     // without dots, as listed: "gz", "gzip", "tgz", ...
    std::vector<std::wstring> addExtensions;  // per extension: the inner name's ("*": none, ".tar")
    std::vector<std::string> signatures;      // the bytes that begin the archive
    uint32_t signatureOffset = 0;             // where they stand in the file
    uint32_t flags = 0;                       // EngineFormatFlag bits
    bool writable = false;                    // the archiver can write it
};

// Every format of the library, in its order; empty when the library cannot be loaded.
const std::vector<EngineFormat>& engineFormats();

// The format of that name (any case), or null.
const EngineFormat* findEngineFormat(std::wstring_view name);

// The coding methods the library can write with ("LZMA2", "Deflate", "PPMD", ...).
const std::vector<std::wstring>& engineEncoders();


// Reads the format list of a loaded library (what engineFormats keeps).
std::vector<EngineFormat> readEngineFormats(HMODULE library);

// The extensions of a space-separated list ("gz gzip tgz"), in order.
std::vector<std::wstring> splitExtensionList(std::wstring_view text);
// The signatures of a multi-signature value: each led by one byte that gives its length.
std::vector<std::string> splitMultiSignature(std::string_view bytes);
