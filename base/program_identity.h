#pragma once
// The program's name as the user and the registry see it, and its version.
inline constexpr wchar_t kDisplayName[] = L"Tolvane Extractor";
inline constexpr wchar_t kVersionText[] = L"1.0";
