#pragma once
// A file of the engine that reaches up into the windows: the layer check must refuse it.
#include <windows.h>

#include "engine/archive_kind.h"
#include "ui/main_frame.h"
