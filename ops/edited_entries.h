#pragma once
// Files opened from an archive in the program the shell chose for them: the record of each,
// telling whether the file was saved since, and putting a changed file back into its archive.
// A copy replaces its entry only while the archive still holds the entry as it was opened (its
// digest compared with the digest of the copy taken before it was handed to the shell): a
// version another program put there meanwhile is never overwritten, and an archive that moved
// or went is never made anew around the one entry.
#include <windows.h>

#include <cstdint>
#include <string>

#include "ops/archive_operations.h"

struct OpenedEntry {
    std::wstring archivePath;
    std::wstring entryPath;      // inside the archive
    std::wstring file;           // the extracted copy the program works on
    std::wstring folder;         // the fresh temporary folder that holds it
    std::wstring password;       // the archive's, to encrypt the entry again
    std::wstring openedDigest;   // what the archive's entry held (the copy as extracted, or as last put back)
    std::wstring offeredDigest;  // the copy as it was when the user was last asked about it
    uint64_t size = 0;           // the file as last seen
    FILETIME written{};
};

// Reads the file's size and last-write time; false when it cannot be read.
bool ReadFileStamp(const std::wstring& file, uint64_t& size, FILETIME& written);

// True when the file's size or last-write time differ from what the record last saw.
bool OpenedEntryChanged(const OpenedEntry& entry);

// The digest of a copy as it is now (empty when it cannot be read): what `openedDigest` and
// `offeredDigest` hold.
std::wstring CopyDigest(const std::wstring& file);

// What can become of a changed copy, found by reading the archive as it is now.
enum class WriteBack {
    Replace,       // the archive holds the entry as it was opened: the copy can take its place
    EntryChanged,  // another program changed the entry meanwhile: the copy can go beside it
    EntryGone,     // the entry is no longer in the archive: the copy can be added again
    ArchiveGone,   // no archive is where it was (moved or deleted)
    NotUpdatable,  // the archive cannot be updated (its format, split into parts, ...)
    Unreadable,    // the archive cannot be read now
};

struct WriteBackCheck {
    WriteBack state = WriteBack::Unreadable;
    std::wstring cause;       // NotUpdatable, Unreadable: why, as a clause
    std::wstring besideName;  // EntryChanged: the free entry path the copy would take
    bool cancelled = false;   // the user cancelled the reading (or its password prompt): nothing known
};

// Reads the archive behind the progress window and compares its entry with what was opened.
WriteBackCheck CheckWriteBack(const OpenedEntry& entry);

// The question put to the user about the changed copy: whether to update the archive (Replace,
// EntryChanged, EntryGone) or to save the copy elsewhere (the others).
std::wstring WriteBackQuestion(const OpenedEntry& entry, const WriteBackCheck& check);

// True when the answer to the question puts the copy into the archive.
inline bool WriteBackGoesIntoArchive(WriteBack state) {
    return state == WriteBack::Replace || state == WriteBack::EntryChanged || state == WriteBack::EntryGone;
}

// Puts the changed copy into the archive as the user agreed after `agreed` (Replace: in the
// entry's place; EntryGone: at its path; EntryChanged: beside it under `besideName`; the copy
// takes the entry's name when its own differs), with the
// guarantees of every add: the archive is either updated or as it was. The archive is read again
// first: when it is no longer as the user was told, nothing is changed and the outcome says why.
// Done outcomes carry the entry path the copy took in `takenPath`.
OperationOutcome UpdateOpenedEntry(const OpenedEntry& entry, const WriteBackCheck& agreed,
                                   std::wstring* takenPath = nullptr);
