#pragma once
// Which code page made the names of a zip's entries. Entries without the UTF-8 flag carry names in
// the code page of the machine that made them; nothing in the archive says which. The names tell:
// valid UTF-8 is UTF-8; otherwise every code page that decodes all names without a fault is a
// candidate, scored by how plausible the decoded text is for the scripts that code page serves.
#include <string_view>
#include <vector>

#include "engine/zip_names.h"

constexpr unsigned kUtf8CodePage = 65001;

struct EncodingCandidate {
    unsigned codePage = 0;
    double score = 0;  // per non-ASCII byte: above 0 plausible, up to 1 for text all in the script
};

struct NameEncodingGuess {
    unsigned codePage = kUtf8CodePage;        // the one to read the names with
    bool legacy = false;                       // some name has neither the UTF-8 flag nor plain ASCII
    std::vector<EncodingCandidate> candidates; // best first; empty when the names are UTF-8 or ASCII
};

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// The code pages the program considers for names, in the order that breaks ties after the
// system's own OEM and ANSI code pages.
const std::vector<unsigned>& nameCodePages();

// How plausible `names` (non-ASCII ones matter) are as text in `codePage`: the mean weight per
// non-ASCII byte of the decoded characters. False (and no score) when some name does not decode.
bool scoreNames(const std::vector<std::string_view>& names, unsigned codePage, double& score);

// The guess for an archive's names. `oemCodePage` and `ansiCodePage` are the system's (GetOEMCP,
// GetACP): the OEM one is what zip tools of the time used and wins when nothing scores.
NameEncodingGuess guessNameEncoding(const std::vector<ZipRawName>& names, unsigned oemCodePage, unsigned ansiCodePage);
