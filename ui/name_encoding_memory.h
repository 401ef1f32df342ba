#pragma once
// The code pages the user chose for archives' names (View > Name encoding), kept per archive path
// in HKEY_CURRENT_USER\Software\Tolvane Extractor\Name encodings: each value is named by the
// archive's path and holds the code page (DWORD).
#include <string>

// Hands every remembered choice to the engine, so that each archive reads as it was last chosen:
// in the window and for /e, /x, /t alike.
void RestoreNameEncodingChoices();
// Remembers the choice for the archive at `path`; 0 forgets it (the names tell again).
void RememberNameEncodingChoice(const std::wstring& path, unsigned codePage);
