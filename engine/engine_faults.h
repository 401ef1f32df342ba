#pragma once
// What went wrong in reading an archive, as values: codes, flags, names and the engine's own
// words. The operations put them into the program's words (ops/fault_texts.h).
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// What the engine found wrong with an archive as a whole.
struct ArchiveDamage {
    uint32_t flags = 0;                    // kpidErrorFlags / kpidWarningFlags bits (kArc...); those
                                           // of an opened archive without data after the end
    std::vector<std::wstring> engineWords; // the engine's own texts (kpidError, kpidWarning)
    bool fileShort = false;                // the file is shorter than the archive it holds
    bool dataAfterEnd = false;             // there is data after the end of the archive
    // Anything but data after the end: the archive's items may be missing or damaged.
    bool harmful() const { return flags != 0 || !engineWords.empty() || fileShort; }
    bool none() const { return !harmful() && !dataAfterEnd; }
};

// Why an archive could not be opened.
struct OpenFailure {
    enum class Kind {
        None,
        Stopped,         // the user cancelled, or refused to give the password
        Unreadable,      // the file could not be read: `systemError` says why
        NotAnArchive,    // no format the engine reads takes it
        Damaged,         // a format's signature is there, but its handler could not read it: `damage`
        WrongPassword,   // its item list is encrypted, and the password did not decode it
        OutOfMemory,
        EngineUnusable,  // core\7z.dll could not be loaded or used
    };
    Kind kind = Kind::None;
    bool stopped = false;       // the user cancelled, or refused to give the password
    bool outOfMemory = false;   // the engine could not hold the archive's list in memory
    bool noFormatTried = false; // NotAnArchive: neither its name nor its bytes named a format
    bool kindNamed = false;     // its name names a kind of archive (.zip, .rar, .7z)
    bool engineLoaded = false;  // EngineUnusable: the library loaded, but offered no way in
    DWORD systemError = 0;      // Unreadable: the system's error
    ArchiveDamage damage;       // Damaged: what the handler found; may be none
};

// Why one item was not written, or did not read back intact.
struct ItemFault {
    enum class Kind {
        None,
        EngineResult,      // `code`: the engine's result for the item (kDataError, kCRCError, ...)
        SystemError,       // `code`: the system's error in writing it
        IncompleteData,    // fewer bytes came than its size
        FolderInTheWay,    // a folder of its name is where it is to be written
        NameTooLong,
        PasswordOrDamage,  // encrypted, and its data did not decode: a wrong password or damage
        NotInArchive,      // asked for by name, and no item of the archive has it
        LinkToMissing,     // a hard link to `target`, which is not in the archive
        LinkToLater,       // ... which comes after it in the archive
        LinkSourceFailed,  // ... which could not be extracted
        LinkSourceUnread,  // ... which was not read
        FileUnreadable,    // a file on disk that cannot be read
        FileReadShort,     // ... that could not be read to its end
        NoSuchChecksum,    // the engine offers no such checksum
    };
    Kind kind = Kind::None;
    int64_t code = 0;
    std::wstring target;  // Link...: where the link points
    bool any() const { return kind != Kind::None; }
};

inline ItemFault SystemFault(DWORD error) { return {ItemFault::Kind::SystemError, error, {}}; }
inline ItemFault EngineResultFault(int32_t result) { return {ItemFault::Kind::EngineResult, result, {}}; }

// Why the engine could not read an archive through: it did not open (`open`), or the engine
// ended the work with an error of its own (`engineError`).
struct ReadFailure {
    OpenFailure open;          // open.kind is None when it opened
    HRESULT engineError = S_OK;
    bool any() const { return open.kind != OpenFailure::Kind::None || engineError != S_OK; }
};
