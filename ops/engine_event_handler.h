#pragma once
// The operations' handler of engine events (installed with the user interface): progress
// totals go into the counters of the running operation, Cancel answers "stop", and password
// requests are asked through the installed OperationUi.
#include <cstdint>

int HandleEngineEvent(int32_t kind, void* data, uint32_t capacity);
