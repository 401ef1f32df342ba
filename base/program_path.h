#pragma once
// Where the program itself lies: the engine binaries, the archiver and the viewer of inner
// archives are found from here.
#include <string>

// The program file's full path, whatever its length; empty when the system cannot tell.
std::wstring ProgramFilePath();

// The folder that holds the program file (FolderOf its path); empty when the system cannot tell.
std::wstring ProgramFolder();
