#pragma once
// The operations on the catalogue's archive. All are called on the UI thread and return only
// when their work has ended: open, extract and add run on a worker behind the progress window,
// which the installed OperationUi shows. None of them tells the user anything itself: each
// returns what became of it, with the messages the caller shows.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/handles.h"
#include "engine/existing_files.h"
#include "engine/zone_mark.h"

class ItemCatalog;
struct CreationOptions;

enum class OperationResult {
    Done,         // the work was done (messages may still tell of damage or renamed items)
    Cancelled,    // ended by the user (Cancel, a refused password, a declined question): no failure
    Failed,       // it could not be done; the messages say why
    Unsupported,  // the archive's kind does not allow it ("Operation is not supported.")
};

struct OperationOutcome {
    OperationResult result = OperationResult::Done;
    std::vector<std::wstring> messages;  // for the user, in order; none for a cancel
    bool done() const { return result == OperationResult::Done; }
};

// Lists the archive into the catalogue and enters its root. Done when there are rows
// afterwards; a damaged archive is listed as far as it can be read, with a message saying so.
// A failure says "Couldn't open the file." and why (OpenFailureMessage). After a cancel (or a
// refused password) the catalogue has no rows.
OperationOutcome OpenArchive(ItemCatalog& catalog, const std::wstring& path);

// Opens the archive in a catalogue of its own, made here: the one that an early open of this
// path has been filling (its listing is then waited for behind the progress window), else a new
// one. As OpenArchive otherwise.
OperationOutcome OpenArchiveInNewCatalog(const std::wstring& path, std::unique_ptr<ItemCatalog>& catalog);

// An open begun before there is a window to show it: the archive the program starts on is
// listed at once on a worker of its own, while the window is made; OpenArchiveInNewCatalog of the
// same path, while this lives, takes it over. It asks nobody anything: an archive that wants a
// password is listed again by that open, which asks. Its end stops a listing that nothing took
// and waits for its worker.
class EarlyOpen {
public:
    explicit EarlyOpen(const std::wstring& path);
    ~EarlyOpen();
    EarlyOpen(const EarlyOpen&) = delete;
    EarlyOpen& operator=(const EarlyOpen&) = delete;

    struct Listing;

private:
    std::unique_ptr<Listing> listing_;
};
// An open of `path` begun by an EarlyOpen is still listing.
bool EarlyOpenGoesOn(const std::wstring& path);

// Opens the same archive again and returns to the same folder (the root when it is gone). The
// password known for it opens it without asking again.
OperationOutcome ReloadArchive(ItemCatalog& catalog);
// After a change of the archive: the listing its check made of the new archive takes the place
// of the old one, in the same folder (the root when it is gone); without one (the change failed
// or was cancelled, or another catalogue made it) the archive is opened again as ReloadArchive.
OperationOutcome ShowChangedArchive(ItemCatalog& catalog);

// Extracts the named entries of the current folder below the destination, with their full
// paths inside the archive. A failure says "Could not extract <archive name>" and why; items
// that had to take names of their own are told of too. Existing files are asked about.
OperationOutcome ExtractEntries(ItemCatalog& catalog, const std::vector<std::wstring>& names,
                                const std::wstring& destinationFolder);

struct ExtractRequest {
    std::vector<std::wstring> names;  // entries of the current folder; none: the whole archive
    std::wstring destination;
    // The folders above the current folder are made again below the destination; otherwise
    // the entries are written relative to the folder the user looks at.
    bool keepFolders = true;
    ExistingFilePolicy existingFiles = ExistingFilePolicy::Ask;
    // Files go straight into the destination under their own names, without any folders.
    bool noPaths = false;
    // Tried first when not empty (a wrong one is asked again); one that proves right is kept.
    std::wstring password;
    // Which written files get the archive's mark of the web.
    ZoneMarking zoneMarking = ZoneMarking::All;
};

// Extracts as the request says, behind the progress window; told as ExtractEntries tells.
OperationOutcome ExtractEntries(ItemCatalog& catalog, const ExtractRequest& request);

// Writes exactly that entry into a fresh temporary folder; Done with `extractedFile` written.
OperationOutcome ExtractForViewing(ItemCatalog& catalog, const std::wstring& entryPath, std::wstring& extractedFile,
                                   ZoneMarking zoneMarking = ZoneMarking::All);

enum class Activation {
    NoSuchEntry,    // no row of the current folder has that path
    EnteredFolder,  // a folder row: it is the current folder now
    OpenedFile,     // a file row: extracted and handed to the shell (an archive to a new instance)
    FileNotOpened,  // a file row that could not be extracted (see the outcome)
};

struct ActivationOutcome {
    Activation activation = Activation::NoSuchEntry;
    OperationOutcome extraction;
    // An opened file (not an inner archive): where it was written, the fresh temporary folder
    // that holds it and now belongs to the caller, and the program's process when the shell
    // started one for it.
    std::wstring openedFile;
    std::wstring openedFolder;
    std::wstring openedDigest;  // the opened file's digest, taken before the shell had it
    UniqueHandle process;
};

// A row's full path: a folder row is entered, a file row is extracted and opened by the shell,
// an archive inside the archive in a new instance of the program.
ActivationOutcome ActivateEntry(ItemCatalog& catalog, const std::wstring& fullPath,
                                ZoneMarking zoneMarking = ZoneMarking::All);

// Adds files and folders to the current folder of the archive (.zip and .7z only); encrypted
// when a password is known. A failure says "Could not update <archive name>" and its cause; a
// failure or Cancel leaves the archive as it was. The caller reloads afterwards.
OperationOutcome AddFiles(ItemCatalog& catalog, const std::vector<std::wstring>& paths);

// Sets archive path, root folder and password, then AddFiles (the archive may be new).
OperationOutcome AddFilesToArchive(ItemCatalog& catalog, const std::wstring& archive,
                                   const std::vector<std::wstring>& paths, const std::wstring& archivePassword);
// The same with the choices of the "Add To Archive" dialog: format, compression, split parts,
// encryption, update mode, and the removal of the files once the archive is verified.
OperationOutcome AddFilesToArchive(ItemCatalog& catalog, const std::wstring& archive,
                                   const std::vector<std::wstring>& paths, const std::wstring& archivePassword,
                                   const CreationOptions& options);

// Deletes the named entries of the current folder (.zip and .7z only), in the background behind
// the progress window, then reloads. Exactly those entries go, or nothing changes.
OperationOutcome DeleteEntries(ItemCatalog& catalog, const std::vector<std::wstring>& names);

// True when the archiver can change the catalogue's archive (add, delete, rename): a format it
// updates, held in one file of its own.
bool ArchiveCanChange(const ItemCatalog& catalog);

// Renames the entry `name` of the current folder to `newName` (.zip and .7z only), in the
// background behind the progress window, then reloads. Exactly that entry and what lies below
// it take the new name, or nothing changes. A name that is no valid name, or that another entry
// of the folder has, is refused before anything runs.
OperationOutcome RenameEntry(ItemCatalog& catalog, const std::wstring& name, const std::wstring& newName);

// Adds an empty folder `name` to the current folder of the archive (.zip and .7z only), with
// the guarantees of AddFiles; refused as RenameEntry refuses a name. The caller reloads.
OperationOutcome AddNewFolder(ItemCatalog& catalog, const std::wstring& name);

// The program's own file, started to open an archive found inside an archive.
std::wstring SelfProgramPath();
// Tests start a harmless program in its place.
void SetSelfProgramPathForTesting(std::wstring path);
