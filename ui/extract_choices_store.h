#pragma once
// The Extract dialog's choices kept per user beside the other settings (the key
// Software\Tolvane Extractor), written at once when the user confirms them: runs started by the
// shell's verbs save no other settings. The password is never stored. "Open the destination"
// is the one value the Extraction Options dialog shows too (AppSettings::openDestination); the
// mark of the web applies to every extraction, from the window and from the shell's verbs.
#include <string>
#include <vector>

#include "ops/extract_choices.h"

struct StoredExtractChoices {
    ExtractChoices choices;                  // destination and password are left empty
    std::vector<std::wstring> destinations;  // the last ones used, most recent first
};

// Reads what is stored; anything missing or unreadable keeps its default.
StoredExtractChoices LoadExtractChoices();
// Writes the choices and the destinations (the destination and the password are not written).
void SaveExtractChoices(const StoredExtractChoices& stored);
// The stored marking for the extractions that show no dialog.
ZoneMarking StoredZoneMarking();
