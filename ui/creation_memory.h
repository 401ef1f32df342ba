#pragma once
// The choices of the last archive made through the "Add To Archive" dialog, kept per user in
// HKEY_CURRENT_USER\Software\Tolvane Extractor\Add, so that the next archive starts from them.
// Written when the dialog's OK is pressed (the shell's "Add to archive..." runs save no other
// setting). Kept: format, level, method, solid mode, encryption method, encrypted names. Not
// kept: the password, and the choices that belong to one archive (a volume size, the update
// mode, "delete files after compression"): the next add must not split, synchronize away
// entries, or delete files because an earlier one did.
#include "ops/creation_options.h"

// The stored choices; the defaults for anything missing or unreadable.
CreationOptions LoadCreationChoices();
void SaveCreationChoices(const CreationOptions& options);
