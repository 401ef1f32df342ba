#pragma once
// "/7" and "/z": the items added to "<name>.7z" or "<name>.zip" without a dialog.
#include "app/command_line.h"

// Makes the archive QuickArchiveName names (an existing one is added into through the verified
// update), at the level the "Add To Archive" dialog remembers, behind the progress window; tells
// a failure with its cause. Exit code 0 when added (or cancelled), 1 when not.
int RunQuickAdd(const CommandLineRequest& request);
