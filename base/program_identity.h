#pragma once
// The program's name as the user and the registry see it, and its version (set once, by the
// build, from the project's version).
#include "tolvane_version.h"

inline constexpr wchar_t kDisplayName[] = L"Tolvane Extractor";
inline constexpr wchar_t kVersionText[] = L"" TOLVANE_VERSION_TEXT;
