#pragma once
// How the program tells the user something: one message box function for every message, with
// the program's caption. The view and the top layers call it; the layers below return what
// they have to say instead of showing it, and the content model and its commands collect it in
// one list that the view shows.
#include <windows.h>

#include <string>
#include <vector>

enum class MessageKind { Plain, Information, Warning, Error };

struct UserMessage {
    std::wstring text;
    MessageKind kind = MessageKind::Plain;
};

struct OperationOutcome;

// What the content model and its commands have to tell the user, in order, until the view shows it.
class MessageList {
public:
    void Tell(std::wstring text, MessageKind kind = MessageKind::Plain);
    // Each message of an operation's outcome.
    void Tell(const OperationOutcome& outcome);
    // The messages since the last call, in order.
    std::vector<UserMessage> Take();

private:
    std::vector<UserMessage> messages_;
};

// Shows `message` owned by `owner` (the `OwnerWindow` when null).
void TellUser(const UserMessage& message, HWND owner = nullptr);
// Shows each message in turn.
void TellUser(const std::vector<UserMessage>& messages, HWND owner = nullptr);
// Asks a question with Yes and No; true for Yes.
bool AskUser(const UserMessage& question, HWND owner = nullptr);
