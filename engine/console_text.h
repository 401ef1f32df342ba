#pragma once
// The engine client's diagnostics on standard output. The windowed program has no console, so
// nobody normally reads them; text is therefore only built when standard output leads somewhere,
// and gathered in a buffer so that a large extraction does not pay one write per line.
#include <windows.h>

#include <string>
#include <string_view>

class ConsoleText {
public:
    ConsoleText();
    ~ConsoleText() { flush(); }
    ConsoleText(const ConsoleText&) = delete;
    ConsoleText& operator=(const ConsoleText&) = delete;

    // False when standard output leads nowhere: callers may then skip building text.
    bool enabled() const { return output_ != nullptr; }
    void append(std::string_view bytes);
    // Appends text in the OEM code page; characters without an equivalent become "_".
    void appendOem(std::wstring_view text);
    void flush();

private:
    HANDLE output_ = nullptr;
    std::string pending_;
};

// A line break, the message, and a line break, written at once.
void writeDiagnostic(std::string_view message);
// The same with a path after the message (in the OEM code page).
void writeDiagnostic(std::string_view message, std::wstring_view path);
