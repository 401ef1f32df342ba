#pragma once
// The operations' handler of engine events (installed with the user interface): progress
// totals go into the counters of the operation whose work runs on the engine's thread
// (ThreadProgress), its Cancel answers "stop", and password requests are asked through the
// installed OperationUi.
#include <cstdint>

#include "base/progress_counters.h"

int HandleEngineEvent(ProgressCounters* progress, int32_t kind, void* data, uint32_t capacity);

// Marks the calling thread as one that asks nobody: a password that the engine wants on it is
// answered with none (no refusal of the user's), and noted.
void AskNobodyOnThisThread();
// True when the engine wanted a password on this thread since AskNobodyOnThisThread.
bool PasswordWantedOnThisThread();
