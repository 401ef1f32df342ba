#pragma once
// Answering the engine's password request, shared by the open and the extract callbacks:
// the user is asked once per operation, and the answer is handed out again afterwards.
#include <windows.h>
#include <oleauto.h>

#include <string>

#include "base/progress_counters.h"

// When no password is known yet, asks through the engine event hook (a refusal gives E_ABORT)
// and keeps the answer. Then hands the engine a newly allocated copy (E_OUTOFMEMORY when that
// fails). `password` must be null. `progress`: the counters of the work it is asked for.
HRESULT answerPasswordRequest(ProgressCounters* progress, bool& passwordKnown, std::wstring& password, BSTR* out);
