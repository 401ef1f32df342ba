#pragma once
// The "/e", "/x" and "/f" runs: a whole archive extracted on the main thread, before any window
// exists. Both return the process's exit code: 0 when the archive was extracted or the user
// cancelled the folder browser; 1 after telling the user that it could not be extracted.
#include "app/command_line.h"

int RunExtractHere(const CommandLineRequest& request);
int RunExtractTo(const CommandLineRequest& request);
// "/f": into a folder named after the archive, beside it (made when missing); files already
// there are asked about.
int RunExtractToFolder(const CommandLineRequest& request);
// "/t": reads and checks every item behind the progress window and writes the report to
// standard output. Exit code 0 when every item is intact, 1 when anything failed or the
// archive could not be read, 2 when the user cancelled.
int RunTest(const CommandLineRequest& request);

// "/e", "/x", "/f" with several archives, and "/s" with one or several: every archive in one
// progress window, each to its own place ("/x" asks once, and each archive goes into a folder
// named after it below the folder chosen), then one summary. Files already where an item goes
// are asked about, "/e" too. Exit code 0 when every archive was
// extracted (or the user cancelled), 1 when any failed.
int RunExtractArchives(const CommandLineRequest& request);

// "/d" and "/g": as above, every archive into the destination folder ("/d") or each into a
// folder named after it below the destination ("/g"); a destination that is not an existing
// folder is told and nothing is extracted.
// "Could not extract into <folder>: the folder does not exist."
std::wstring DestinationMissingMessage(const std::wstring& destination);

// "Could not extract " followed by the archive's file name.
std::wstring ExtractFailureMessage(const CommandLineRequest& request);
