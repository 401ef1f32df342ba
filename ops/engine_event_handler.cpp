#include "ops/engine_event_handler.h"

#include <string>

#include "base/text.h"
#include "engine/engine_events.h"
#include "ops/operation_ui.h"
#include "ops/progress.h"

namespace {
// A cancelled operation answers "stop" to the engine's progress reports, so that the engine
// ends its work instead of running to the end after the user pressed Cancel.
bool Cancelled(const ProgressCounters* progress) { return progress && progress->cancel.load() != 0; }

thread_local bool t_askNobody = false;
thread_local bool t_passwordWanted = false;
}  // namespace

void AskNobodyOnThisThread() {
    t_askNobody = true;
    t_passwordWanted = false;
}

bool PasswordWantedOnThisThread() { return t_passwordWanted; }

int HandleEngineEvent(ProgressCounters* progress, int32_t kind, void* data, uint32_t capacity) {
    switch (kind) {
    case kEnginePasswordRequest: {
        // After Cancel nobody is asked for anything; the engine stops instead.
        if (Cancelled(progress)) return 1;
        if (t_askNobody) {
            t_passwordWanted = true;
            return 1;
        }
        const std::optional<std::string> password = CurrentOperationUi().AskPassword(CurrentPasswordQuestion());
        if (!password) {
            if (progress) progress->passwordRefused = 1;
            return 1;
        }
        auto wide = Utf8ToWide(*password);
        if (!wide || !data || capacity == 0) return 1;
        CopyToBuffer(static_cast<wchar_t*>(data), capacity, *wide);
        return 0;
    }
    case kEngineReplaceQuestion: {
        if (Cancelled(progress) || !data) return 1;
        auto& question = *static_cast<ReplaceQuestion*>(data);
        question.answer = CurrentOperationUi().AskReplace(question);
        return 0;
    }
    case kEngineTotal:
        if (data && progress) progress->total = *static_cast<const uint64_t*>(data);
        return Cancelled(progress) ? 1 : 0;
    case kEngineCompleted:
        if (data && progress) progress->completed = *static_cast<const uint64_t*>(data);
        return Cancelled(progress) ? 1 : 0;
    default:
        return 1;
    }
}
