#pragma once
// The user interface of the archive operations: the progress window, the password prompt and
// the replace question. Installed once at start-up, for every operation of the process.
void InstallOperationPrompts();
