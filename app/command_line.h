#pragma once
// Reading the program's command line: the registration options, the shell-verb options
// and the start path. Pure text work; the run itself is in startup.cpp.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class ShellVerbOption {
    None,             // no verb option: the main window runs
    ExtractHere,      // "/e": the whole archive into the folder that holds it
    ExtractTo,        // "/x": the whole archive into a folder the user picks
    Add,              // "/a": the "Add To Archive" dialog for the named item
    Checksums,        // "/h": the checksums of the named file (the shell's "Checksums..." verb)
    ExtractToFolder,  // "/f": the whole archive into a folder named after it, beside it
    Test,             // "/t": every item read and checked; the exit code tells the result
    ExtractSmart,     // "/s": one item at the archive's top goes beside it, several into a folder named after it
    AddTo7z,          // "/7": Add to "<name>.7z", without a dialog
    AddToZip,         // "/z": Add to "<name>.zip", without a dialog
    ExtractInto,      // "/d "dest" ...": every archive's items into dest (a right-drag's "Extract here")
    ExtractToFoldersIn,  // "/g "dest" ...": each archive into dest\<its name> (a right-drag's "Extract to")
};

struct CommandLineRequest {
    bool unregister = false;     // "/UnRegister" anywhere (case-sensitive)
    bool registerOnly = false;   // "/Register" anywhere (case-sensitive)
    ShellVerbOption verb = ShellVerbOption::None;
    // "/e", "/x", "/h", "/f" and "/t": the path between the quotes of the registered shape  /e "path".
    // Empty when the text after the option does not name a path (`pathText` then holds it).
    std::wstring archivePath;
    std::wstring pathText;       // what follows the option and its space, for messages
    // "/a": the path in double quotes (as the shell passes it, or put around an unquoted one);
    // text of any other shape from the fourth character on, as it stands.
    std::wstring addText;
    // Every path the option names: one, quoted or not, or several in double quotes separated by
    // one space ( /e "a.zip" "b.7z" ); empty when the text has neither shape.
    std::vector<std::wstring> paths;
    // The shape  /e @"list file" : the file that holds the paths (paths is then empty).
    std::wstring listFile;
    // "/d" and "/g": the folder in double quotes before the paths ( /d "C:\dest" "a.zip" );
    // empty when the text does not start with one (nothing is then extracted).
    std::wstring destination;
};

// Reads the command line as the shell passes it (without the program name). The first two
// characters decide the verb ("/e", "/x", "/a", "/h", "/f", "/t", "/s", "/7", "/z", "/d", "/g";
// "/extract" counts as "/e"). The
// option must be followed by one space and the path, in double quotes as the registered verbs
// pass it (a path without quotes is taken as it stands). Nothing is read
// outside the text, whatever its length.
CommandLineRequest ParseCommandLine(std::wstring_view commandLine);

// The start path the main window should show: the whole command line (without the quotes
// around it, as "Open with" passes it) when it is not empty, ends in an archive extension
// (".zip", ".rar", ".7z", any case) and fits the 259 units of the stored last path. A longer
// one is refused rather than cut, since a cut path would name another file.
std::optional<std::wstring> StartPathFromCommandLine(std::wstring_view commandLine);

// The paths of the text after an option: several paths each in double quotes, separated by
// exactly one space; nothing for any other shape (an empty path, a quote inside one).
std::optional<std::vector<std::wstring>> QuotedPaths(std::wstring_view text);

// The paths of a list file's bytes: UTF-16LE after its byte-order mark, one path a line, lines
// ended by CRLF (or LF); empty lines are skipped. Nothing when the bytes are no such text.
std::optional<std::vector<std::wstring>> ListFilePaths(std::string_view bytes);

// True when `path` may be deleted after it was read: a file named "tolvane-list-<anything>.txt"
// (any case) directly in `tempFolder` (the user's temp folder, with or without a trailing
// backslash). Anything else is someone's file and stays.
bool IsDisposableListFile(std::wstring_view path, std::wstring_view tempFolder);

// The folder the main window should show: the whole command line, quoted or not, when it names
// an existing folder (`isFolder`), as "Open with" and scripts pass one.
std::optional<std::wstring> StartFolderFromCommandLine(std::wstring_view commandLine,
                                                       bool (*isFolder)(const std::wstring& path));
