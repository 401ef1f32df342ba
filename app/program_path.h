#pragma once
// Where the program itself lies: the engine binaries, the archiver and the viewer of inner
// archives are found from here.
#include <string>

// The program file's full path, whatever its length; empty when the system cannot tell.
std::wstring ProgramFilePath();

// The folder that holds the program file, without a trailing backslash.
std::wstring ProgramFolder();
