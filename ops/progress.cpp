#include "ops/progress.h"

ProgressCounters g_progress;
