#include "engine/console_text.h"

#include <algorithm>
#include <climits>

namespace {
constexpr size_t kFlushThreshold = 64 * 1024;
}

ConsoleText::ConsoleText() {
    HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) output_ = handle;
}

void ConsoleText::append(std::string_view bytes) {
    if (!output_) return;
    try {
        pending_.append(bytes);
    } catch (...) {
        // Diagnostics are never worth failing an operation for.
        pending_.clear();
        return;
    }
    if (pending_.size() >= kFlushThreshold) flush();
}

void ConsoleText::appendOem(std::wstring_view text) {
    if (!output_ || text.empty() || text.size() > INT_MAX / 4) return;
    const int length = static_cast<int>(text.size());
    char fallback[] = "_";
    const int needed = WideCharToMultiByte(CP_OEMCP, 0, text.data(), length, nullptr, 0, fallback, nullptr);
    if (needed <= 0) return;
    try {
        const size_t start = pending_.size();
        pending_.resize(start + static_cast<size_t>(needed));
        const int written = WideCharToMultiByte(CP_OEMCP, 0, text.data(), length, pending_.data() + start,
                                                needed, fallback, nullptr);
        pending_.resize(start + static_cast<size_t>(written > 0 ? written : 0));
    } catch (...) {
        pending_.clear();
        return;
    }
    if (pending_.size() >= kFlushThreshold) flush();
}

void ConsoleText::flush() {
    size_t offset = 0;
    while (output_ && offset < pending_.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(pending_.size() - offset, 1u << 20));
        if (!WriteFile(output_, pending_.data() + offset, chunk, &written, nullptr) || written == 0) break;
        offset += written;
    }
    pending_.clear();
}

void writeDiagnostic(std::string_view message) {
    ConsoleText text;
    text.append("\n");
    text.append(message);
    text.append("\n");
}

void writeDiagnostic(std::string_view message, std::wstring_view path) {
    ConsoleText text;
    text.append("\n");
    text.append(message);
    text.appendOem(path);
    text.append("\n");
}
