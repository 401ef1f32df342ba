#pragma once
// The two path tests shared by the whole program.
#include <string>

// True when the path's attributes can be read and carry the directory bit.
bool IsDirectory(const std::wstring& path);

// True when the path opens as an existing file for reading (closed again at once);
// false for folders and missing files.
bool FileIsReadable(const std::wstring& path);
