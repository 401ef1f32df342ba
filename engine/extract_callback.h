#pragma once
// The callback through which the engine hands over each item of an extraction: it decides
// whether and where the item is written, supplies the output file, and restores the item's
// time and attributes afterwards.
//
// A file that is new is written in its place, made exclusively and deleted again when the item
// fails; a file that is there already is replaced only once the engine reports the item intact,
// from a temporary file beside it. So a wrong password, damaged data or a full disk never
// destroy a file that was there before, nor leave a file that looks complete. An item that
// cannot be written is counted and named, and the extraction goes on with the next one.
//
// Items that are no plain files: a deletion marker of a differential archive is no file, and
// nothing is written or touched for it; a hard link is written with the data of the item it
// names (kept aside for it when that item is not written itself); a symbolic link is written as
// a file holding the path it points to, never as a link, so nothing is ever written through it.
#include "base/handles.h"
#include "engine/console_text.h"
#include "engine/engine_events.h"
#include "engine/engine_interfaces.h"
#include "engine/engine_object.h"
#include "engine/existing_files.h"
#include "engine/extraction.h"
#include "engine/extraction_outcome.h"
#include "engine/item_kinds.h"
#include "engine/item_names.h"
#include "engine/linked_data.h"
#include "engine/out_file_stream.h"

#include <string>
#include <unordered_set>
#include <vector>

class CArchiveExtractCallback final : public IArchiveExtractCallback,
                                      public ICryptoGetTextPassword,
                                      public IArchiveExtractCallbackMessage2,
                                      public CMyUnknownImp {
public:
    CArchiveExtractCallback() = default;
    virtual ~CArchiveExtractCallback();
    CArchiveExtractCallback(const CArchiveExtractCallback&) = delete;
    CArchiveExtractCallback& operator=(const CArchiveExtractCallback&) = delete;

    // `selection` (may be null) belongs to the caller and must outlive the extraction.
    void init(IInArchive* archive, const std::wstring& destination, const std::vector<std::wstring>* selection);
    // How the items are written (after init): existing files, the folder they are written
    // relative to, or only tested.
    void setOptions(const ExtractionOptions& options);
    // The archive's mark of the web, given to the written files that the options' marking takes.
    void setZoneIdentifier(std::string content) { zoneIdentifier_ = std::move(content); }
    // Starts with a password already known (not asked for again).
    void setPassword(const std::wstring& password);
    // What an item without a path is called: "[Content]" unless the archive's name gives one.
    void setUnnamedItemName(const std::wstring& name) { unnamedItem_ = name; }
    // What the items are beyond files and folders (both belong to the caller and must outlive
    // the extraction); the items whose data wanted links take are kept aside for them.
    void setItemKinds(const ItemKinds* kinds, const HardLinkMap* links);
    bool passwordKnown() const { return passwordKnown_; }
    const std::wstring& password() const { return password_; }

    // Called once the engine's Extract has returned: removes a temporary file the engine left
    // behind, and the folders this extraction made that stayed empty because their items
    // failed (after a wrong password, every folder it made that is empty).
    void finish();
    // What was written, renamed, skipped and failed so far.
    ExtractionOutcome& outcome() { return outcome_; }
    // True when the engine handed over the item with this index to be extracted, or the item
    // failed (also when the engine only tested it).
    bool accountedFor(UINT32 index) const { return index < accounted_.size() && accounted_[index]; }
    // True when the user stopped the extraction (Cancel, or the password refused).
    bool stopped() const { return stopped_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ENGINE_OBJECT_REFCOUNT

    HRESULT STDMETHODCALLTYPE SetTotal(UINT64 total) override;
    HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* completeValue) override;
    HRESULT STDMETHODCALLTYPE GetStream(UINT32 index, ISequentialOutStream** outStream, INT32 askExtractMode) override;
    HRESULT STDMETHODCALLTYPE PrepareOperation(INT32 askExtractMode) override;
    HRESULT STDMETHODCALLTYPE SetOperationResult(INT32 operationResult) override;
    HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* password) override;
    HRESULT STDMETHODCALLTYPE ReportExtractResult(UINT32 indexType, UINT32 index, INT32 operationResult) override;

private:
    HRESULT readItemProperties(UINT32 index);
    // The destination plus the item's safe path; the "\\?\" form when it is too long otherwise.
    std::wstring diskPathOf(const std::wstring& relative);
    // Makes the folder and those above it; false with the system error when it cannot.
    bool ensureFolder(const std::wstring& folder, DWORD& error);
    // The file the item is written to: its target when none is there, else a temporary file in
    // the target's folder. False with the system error.
    bool openOutputFile(DWORD& error);
    bool openTemporaryFile(DWORD& error);
    // Finishes the written file, putting a temporary one in the target's place.
    void commitFile();
    // Renames the file in the current item's place to a free name beside it, before the item
    // takes the place; when it cannot be renamed, the item goes to a free name instead and both
    // stay. False when the item is to be written beside it (the place is then `diskPath_`).
    bool moveExistingAside();
    // Gives the file just written the archive's mark, when the options want it for it.
    void markWrittenFile();
    // Closes and deletes the file written for a failed item.
    void discardTemporaryFile();
    void failItem(ItemFault fault);
    // The current file item's target exists: what the user (or the policy) wants done with it.
    ExistingFileAction decideAboutExisting(const WIN32_FILE_ATTRIBUTE_DATA& existing);
    // A name beside `relative` that neither this extraction nor the disk uses yet; claimed.
    std::wstring claimFreeName(const std::wstring& relative);
    // Hands the engine a stream that keeps the current item's data aside for the links that take it.
    HRESULT keepLinkedData(ISequentialOutStream** outStream);
    // Fails the current item, a hard link, when its data cannot be had; true when it can.
    bool linkDataAtHand();
    // The current item, a hard link whose data the engine did not write, gets its target's data.
    void copyLinkedData();
    // Notes the current item, a symbolic link just written as a file, with where it points.
    void noteSymbolicLink();

    IInArchive* archive_ = nullptr;  // a reference of our own
    std::wstring destination_;
    std::wstring itemPath_;
    std::wstring unnamedItem_ = L"[Content]";
    std::wstring diskPath_;
    bool extractMode_ = false;
    const std::vector<std::wstring>* selection_ = nullptr;
    FILETIME modified_{};
    UINT32 attributes_ = 0;
    bool isFolder_ = false;
    bool attributesKnown_ = false;
    bool modifiedKnown_ = false;
    bool encrypted_ = false;          // the current item is encrypted
    bool sizeKnown_ = false;
    UINT64 size_ = 0;
    COutFileStream* outFile_ = nullptr;
    ComPtr<COutFileStream> outReference_;
    bool passwordKnown_ = false;
    std::wstring password_;
    bool stopped_ = false;
    bool passwordRefused_ = false;    // the user gave no password when asked
    ReplaceDecisions replace_;
    std::wstring baseFolder_;          // items are written relative to this archive folder
    bool testing_ = false;
    bool noPaths_ = false;
    ZoneMarking zoneMarking_ = ZoneMarking::All;
    std::string zoneIdentifier_;       // the archive's mark; empty: none
    bool renameExisting_ = false;      // the current item's place is to be cleared by a rename
    std::wstring itemName_;            // the current file item's path below the destination

    ExtractionOutcome outcome_;
    std::vector<bool> accounted_;      // by item index
    UINT32 itemIndex_ = 0;
    ItemNames names_;
    std::wstring renamedTo_;           // the current item's name of its own, when it got one
    std::wstring temporaryPath_;       // the file being written for the current item (may be its target)
    bool writingTarget_ = false;       // ... which is the target itself, new: nothing to put in place
    bool itemWanted_ = false;          // the current item passed the selection
    bool itemWritten_ = false;         // ... and is being written (a file or a folder)
    bool itemFailed_ = false;          // ... and has failed already (counted)
    bool itemPending_ = false;         // the current item's result is still to come
    DWORD createdAttributes_ = 0;      // what the current item's file was made with
    std::wstring lastFolder_;          // the folder made for the previous item, made again only on change
    std::wstring fullDestination_;     // absolute form of the destination, made when first needed
    std::vector<std::wstring> madeFolders_;           // folders this extraction made, upper ones first
    std::unordered_set<std::wstring> folderItems_;    // disk paths of the folder items, case-blind
    ConsoleText console_;
    const ItemKinds* kinds_ = nullptr;
    const HardLinkMap* links_ = nullptr;
    LinkedData linked_;
    const HardLinkMap::Link* link_ = nullptr;  // the current item is a hard link
    bool symbolicLink_ = false;        // the current item is a symbolic link
    bool keepingLinkedData_ = false;   // the current item's data is only kept aside for links
    ProgressCounters* const progress_ = ThisThreadProgress();  // of the work that made it
};

// An item's path as the callback names it: `unnamed` when the engine gives none.
std::wstring itemPathOf(IInArchive* archive, UINT32 index, const std::wstring& unnamed = L"[Content]");
