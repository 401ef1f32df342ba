#pragma once
// The mark of the web: Windows keeps where a downloaded file came from in its alternate data
// stream "Zone.Identifier", and warns before a program or a document so marked is run or opened.
// Files extracted from a marked archive get the same mark, so that extracting does not wash it off.
#include <string>
#include <string_view>

enum class ZoneMarking {
    All,                   // every file extracted gets the archive's mark
    ProgramsAndDocuments,  // only programs, scripts, documents, web pages, links and archives
    Off,                   // no file gets it
};

// The content of `path`'s "Zone.Identifier" stream, read through the Win32 calls; empty when the
// file has none (or it cannot be read, or is larger than any real mark).
std::string ReadZoneIdentifier(const std::wstring& path);

// Gives the file at `path` the stream with `content`; false (GetLastError tells why) when it cannot.
bool WriteZoneIdentifier(const std::wstring& path, const std::string& content);

// True when a file of this name gets the mark under `marking`.
bool ZoneMarkWanted(ZoneMarking marking, std::wstring_view fileName);
