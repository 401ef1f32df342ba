#include "ui/user_messages.h"

#include <utility>

#include "ops/archive_operations.h"
#include "ui/app_globals.h"

namespace {

UINT IconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Plain: return 0;
    case MessageKind::Information: return MB_ICONINFORMATION;
    case MessageKind::Warning: return MB_ICONWARNING;
    case MessageKind::Error: return MB_ICONERROR;
    }
    return 0;
}

int Show(const UserMessage& message, HWND owner, UINT buttons) {
    if (!owner) owner = g_app.OwnerWindow.load();
    return MessageBoxW(owner, message.text.c_str(), kDisplayName, buttons | IconOf(message.kind));
}

}  // namespace

void TellUser(const UserMessage& message, HWND owner) { Show(message, owner, MB_OK); }

void TellUser(const std::vector<UserMessage>& messages, HWND owner) {
    for (const UserMessage& message : messages) TellUser(message, owner);
}

bool AskUser(const UserMessage& question, HWND owner) { return Show(question, owner, MB_YESNO) == IDYES; }

void MessageList::Tell(std::wstring text, MessageKind kind) { messages_.push_back({std::move(text), kind}); }

void MessageList::Tell(const OperationOutcome& outcome) {
    for (const std::wstring& message : outcome.messages) Tell(message);
}

std::vector<UserMessage> MessageList::Take() { return std::exchange(messages_, {}); }
