#pragma once
// The paths of a command line that names a list file ( /e @"...\tolvane-list-1.txt" ).
#include "app/command_line.h"

// Reads the request's list file into its paths (one path also becomes the archive path and the
// add text, as when it stood on the command line), then deletes the file when it is a list the
// program's own context menu left in the user's temp folder. A request without a list file is
// left as it is. False, after telling the user the file and the cause, when it could not be read.
bool TakeListFile(CommandLineRequest& request);

// "Could not read the list of files <path>: <cause>."
std::wstring ListFileMessage(const std::wstring& path, const std::wstring& cause);

// `path` as a full path, so that a relative one is taken in the current folder (a relative
// archive extracts next to itself, not into a folder named like it). A full path stays as it is.
std::wstring FullPathOf(const std::wstring& path);
