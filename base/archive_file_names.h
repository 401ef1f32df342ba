#pragma once
// The names the program gives to what it makes from archives and selections: the folder that
// "Extract to" writes into and the archive that "Add to" makes. Pure text work, shared by the
// program and the Explorer menu handler (which cannot load the engine).
#include <string>
#include <string_view>
#include <vector>

// True when Windows reads the component as a device (CON, PRN, AUX, NUL, CONIN$, CONOUT$,
// CLOCK$, COM0-9 and LPT0-9 with the superscript digits), with or without an extension.
bool IsWindowsDeviceName(std::wstring_view component);

// The folder "Extract to <name>\" writes into, named after the archive file: its name without
// the archive's extensions ("x" of "x.zip", "x.tar.gz", "x.tgz", "x.7z.001", "x.part1.rar"),
// trailing dots and spaces dropped, a device name marked as an extracted item's is ("_con" of
// "con.zip"); "Extracted" when nothing is left.
std::wstring ExtractFolderName(const std::wstring& archiveFileName);

// The archive proposed for several selected items: the folder holding the first one, and in
// it an archive named after that folder; at a drive root ("C:" or "C:\\") named after the
// drive's label, or its letter when the label is empty.
std::wstring SelectionArchiveName(const std::wstring& folder, const std::wstring& driveLabel = L"");

// The name (without folder and extension) of the archive "Add to "<name>.7z"" makes of the
// selection: one file's name without its extension, one folder's whole name, and for several
// items the name SelectionArchiveName gives the folder that holds the first.
std::wstring SelectionArchiveStem(const std::vector<std::wstring>& paths, bool firstIsFolder,
                                  const std::wstring& driveLabel = L"");
