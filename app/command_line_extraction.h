#pragma once
// The "/e" and "/x" runs: a whole archive extracted on the main thread, before any window
// exists. Both return the process's exit code: 0 when the archive was extracted or the user
// cancelled the folder browser; 1 after telling the user that it could not be extracted.
#include "app/command_line.h"

int RunExtractHere(const CommandLineRequest& request);
int RunExtractTo(const CommandLineRequest& request);

// "Could not extract " followed by the archive's file name.
std::wstring ExtractFailureMessage(const CommandLineRequest& request);
