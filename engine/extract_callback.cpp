#include "engine/extract_callback.h"

#include <atomic>
#include <new>
#include <vector>

#include "base/paths.h"
#include "engine/archive_listing.h"
#include "engine/engine_events.h"
#include "engine/engine_property.h"
#include "engine/extract_path.h"
#include "engine/extraction.h"
#include "engine/password_request.h"

namespace {

// Paths from this length on go through the "\\?\" form; CreateDirectoryW takes 12 fewer
// units than MAX_PATH, so the smaller limit serves folders and files alike. Room is left for
// the temporary file's name, which may be longer than the item's own.
constexpr size_t kLongPathFrom = MAX_PATH - 12;
constexpr size_t kTemporaryNameRoom = 40;

const char* OperationResultText(INT32 result) {
    switch (result) {
    case kUnsupportedMethod: return "Unsupported Method";
    case kDataError: return "Data Error";
    case kCRCError: return "CRC Failed";
    case kUnavailable: return "Unavailable Data";
    case kUnexpectedEnd: return "Unexpected End of Data";
    case kDataAfterEnd: return "Data After End";
    case kIsNotArc: return "Is Not Archive";
    case kHeadersError: return "Headers Error";
    case kWrongPassword: return "Wrong Password";
    default: return "Unknown Error";
    }
}

std::wstring AbsolutePath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    return full;
}

// File systems take names of at most 255 units; Windows reports a longer one in many ways.
bool HasOverlongName(const std::wstring& relative) {
    size_t start = 0;
    for (size_t end; (end = relative.find(L'\\', start)) != std::wstring::npos; start = end + 1)
        if (end - start > 255) return true;
    return relative.size() - start > 255;
}

// A name no other file of the folder has: made with CREATE_NEW, so a clash is seen, not taken.
std::wstring TemporaryName() {
    static std::atomic<unsigned> counter{0};
    return L"~tolvane-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter) + L".tmp";
}

// True when another handle on the file keeps it from being deleted or replaced.
bool HeldOpen(const std::wstring& path) {
    UniqueHandle file(CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    return !file && GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace

std::wstring itemPathOf(IInArchive* archive, UINT32 index, const std::wstring& unnamed) {
    EngineProperty value;
    if (archive->GetProperty(index, kpidPath, value.put()) != S_OK || value.type() != VT_BSTR || !value.get().bstrVal ||
        SysStringLen(value.get().bstrVal) == 0)
        return unnamed;
    return std::wstring(value.get().bstrVal, SysStringLen(value.get().bstrVal));
}

CArchiveExtractCallback::~CArchiveExtractCallback() {
    discardTemporaryFile();
    if (archive_) archive_->Release();
}

void CArchiveExtractCallback::init(IInArchive* archive, const std::wstring& destination,
                                   const std::vector<std::wstring>* selection) {
    outcome_ = ExtractionOutcome();
    outcome_.opened = true;
    outcome_.destination = destination;
    if (archive) archive->AddRef();
    if (archive_) archive_->Release();
    archive_ = archive;
    destination_ = ensureTrailingSeparator(destination);
    selection_ = selection;
    UINT32 count = 0;
    if (archive_ && archive_->GetNumberOfItems(&count) != S_OK) count = 0;
    accounted_.assign(count, false);
}

void CArchiveExtractCallback::setOptions(const ExtractionOptions& options) {
    replace_ = ReplaceDecisions(options.existingFiles);
    baseFolder_ = options.baseFolder;
    testing_ = options.testOnly;
    noPaths_ = options.noPaths;
    zoneMarking_ = options.zoneMarking;
    // A test reports every item that failed, not only the first few.
    if (testing_) outcome_.notesKept = 100000;
}

ExistingFileAction CArchiveExtractCallback::decideAboutExisting(const WIN32_FILE_ATTRIBUTE_DATA& existing) {
    const ExistingFileAction settled = replace_.next();
    if (settled != ExistingFileAction::Ask) return settled;
    ReplaceQuestion question;
    question.path = diskPath_.rfind(L"\\\\?\\", 0) == 0 ? diskPath_.substr(4) : diskPath_;
    question.item = itemPath_;
    question.existingSize = (static_cast<uint64_t>(existing.nFileSizeHigh) << 32) | existing.nFileSizeLow;
    question.existingModified = existing.ftLastWriteTime;
    question.itemSizeKnown = sizeKnown_;
    question.itemSize = size_;
    question.itemModifiedKnown = modifiedKnown_;
    question.itemModified = modified_;
    if (OnEngineEvent(progress_, kEngineReplaceQuestion, &question, 0) != 0) return ExistingFileAction::Stop;
    return replace_.answer(question.answer);
}

std::wstring CArchiveExtractCallback::claimFreeName(const std::wstring& relative) {
    std::wstring candidate = relative;
    for (unsigned number = 2; number < 100000; ++number) {
        candidate = numberedName(relative, number);
        if (GetFileAttributesW(diskPathOf(candidate).c_str()) == INVALID_FILE_ATTRIBUTES &&
            names_.tryClaimFile(candidate))
            break;
    }
    return candidate;
}

void CArchiveExtractCallback::setPassword(const std::wstring& password) {
    password_ = password;
    passwordKnown_ = true;
}

HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_ICryptoGetTextPassword)
        *object = static_cast<ICryptoGetTextPassword*>(this);
    else if (iid == IID_IArchiveExtractCallbackMessage2)
        *object = static_cast<IArchiveExtractCallbackMessage2*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

// A cancelled operation answers "stop" here, and the engine then ends the extraction.
HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::SetTotal(UINT64 total) {
    if (OnEngineEvent(progress_, kEngineTotal, &total, 0) == 0) return S_OK;
    stopped_ = true;
    return E_ABORT;
}

HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::SetCompleted(const UINT64* completeValue) {
    if (OnEngineEvent(progress_, kEngineCompleted, const_cast<UINT64*>(completeValue), 0) == 0) return S_OK;
    stopped_ = true;
    return E_ABORT;
}

HRESULT CArchiveExtractCallback::readItemProperties(UINT32 index) {
    EngineProperty value;
    HRESULT hr = archive_->GetProperty(index, kpidAttrib, value.put());
    if (hr != S_OK) return hr;
    if (value.type() == VT_EMPTY) {
        attributesKnown_ = false;
    } else if (value.type() == VT_UI4) {
        attributes_ = value.get().ulVal;
        attributesKnown_ = true;
    } else {
        return E_FAIL;
    }

    hr = archive_->GetProperty(index, kpidIsDir, value.put());
    if (hr != S_OK) return hr;
    if (value.type() == VT_BOOL)
        isFolder_ = value.get().boolVal != VARIANT_FALSE;
    else if (value.type() == VT_EMPTY)
        isFolder_ = false;
    else
        return E_FAIL;

    hr = archive_->GetProperty(index, kpidMTime, value.put());
    if (hr != S_OK) return hr;
    if (value.type() == VT_EMPTY) {
        modifiedKnown_ = false;
    } else if (value.type() == VT_FILETIME) {
        modified_ = value.get().filetime;
        modifiedKnown_ = true;
    } else {
        return E_FAIL;
    }

    // The size tells whether a file that the engine calls intact is also whole; not required.
    sizeKnown_ = archive_->GetProperty(index, kpidSize, value.put()) == S_OK && propertyIsUnsigned(value.get());
    size_ = sizeKnown_ ? propertyToUInt64(value.get()) : 0;
    return S_OK;
}

std::wstring CArchiveExtractCallback::diskPathOf(const std::wstring& relative) {
    if (destination_.size() + relative.size() + kTemporaryNameRoom < kLongPathFrom) return destination_ + relative;
    if (fullDestination_.empty()) fullDestination_ = ensureTrailingSeparator(extendedLengthPath(AbsolutePath(destination_)));
    return fullDestination_ + relative;
}

bool CArchiveExtractCallback::ensureFolder(const std::wstring& folder, DWORD& error) {
    if (folder == lastFolder_) return true;
    SetLastError(0);
    if (createFolderChain(folder, &madeFolders_)) {
        lastFolder_ = folder;
        return true;
    }
    error = GetLastError();
    lastFolder_.clear();
    return false;
}

bool CArchiveExtractCallback::openOutputFile(DWORD& error) {
    // The file is made with its final attributes but read-only, which comes after the data;
    // most files then need no second call for their attributes.
    createdAttributes_ =
        attributesKnown_ ? plainFileAttributes(attributes_, false) & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY) : 0;
    // A new file goes straight to its place: there is nothing there to keep, and a rename per
    // file costs as much as writing a small one. Made exclusively, it never takes the place of a
    // file that appeared meanwhile; anything in the way goes the careful way below.
    auto stream = ComPtr<COutFileStream>::share(NewEngineObject<COutFileStream>());
    if (stream->create(diskPath_, false, createdAttributes_)) {
        temporaryPath_ = diskPath_;
        writingTarget_ = true;
        outFile_ = stream.get();
        outReference_ = std::move(stream);
        return true;
    }
    return openTemporaryFile(error);
}

bool CArchiveExtractCallback::openTemporaryFile(DWORD& error) {
    auto stream = ComPtr<COutFileStream>::share(NewEngineObject<COutFileStream>());
    writingTarget_ = false;
    const std::wstring folder = FolderOf(diskPath_);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring path = JoinPath(folder, TemporaryName());
        if (stream->create(path, false, createdAttributes_)) {
            temporaryPath_ = path;
            outFile_ = stream.get();
            outReference_ = std::move(stream);
            return true;
        }
        error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    return false;
}

void CArchiveExtractCallback::discardTemporaryFile() {
    // Closed here, not when the engine lets go of the stream: an open file cannot be deleted.
    if (outFile_) outFile_->close();
    outFile_ = nullptr;
    outReference_.reset();
    writingTarget_ = false;
    if (temporaryPath_.empty()) return;
    DeleteFileW(temporaryPath_.c_str());
    temporaryPath_.clear();
}

void CArchiveExtractCallback::failItem(ItemFault fault) {
    if (itemFailed_) return;
    itemFailed_ = true;
    if (itemIndex_ < accounted_.size()) accounted_[itemIndex_] = true;
    outcome_.noteFailure(itemPath_, std::move(fault));
}

void CArchiveExtractCallback::commitFile() {
    if (const DWORD error = outFile_->writeError()) {
        failItem(SystemFault(error));
        return discardTemporaryFile();
    }
    LARGE_INTEGER written{};
    if (sizeKnown_ && GetFileSizeEx(outFile_->handle(), &written) && static_cast<UINT64>(written.QuadPart) != size_) {
        failItem({ItemFault::Kind::IncompleteData});
        return discardTemporaryFile();
    }
    if (modifiedKnown_) SetFileTime(outFile_->handle(), nullptr, nullptr, &modified_);
    const HRESULT closed = outFile_->close();
    if (closed != S_OK) {
        failItem(SystemFault(HRESULT_CODE(closed)));
        return discardTemporaryFile();
    }
    outFile_ = nullptr;
    outReference_.reset();

    // After a rename out of the way nothing is to be replaced: whatever stands there now is another's.
    const bool aside = renameExisting_ && !writingTarget_;
    if (aside) moveExistingAside();
    bool placed = writingTarget_ ||
                  MoveFileExW(temporaryPath_.c_str(), diskPath_.c_str(), aside ? 0 : MOVEFILE_REPLACE_EXISTING);
    DWORD error = placed ? 0 : GetLastError();
    const DWORD existing = placed ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(diskPath_.c_str());
    if (!placed && !aside && existing != INVALID_FILE_ATTRIBUTES && !(existing & FILE_ATTRIBUTE_DIRECTORY) &&
        (existing & FILE_ATTRIBUTE_READONLY)) {
        // A read-only file is replaced too; it keeps its protection when it cannot be.
        SetFileAttributesW(diskPath_.c_str(), existing & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
        placed = MoveFileExW(temporaryPath_.c_str(), diskPath_.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
        if (!placed) {
            error = GetLastError();
            SetFileAttributesW(diskPath_.c_str(), existing);
        }
    }
    // A file another program holds open refuses the rename as if access were denied.
    if (!placed && error == ERROR_ACCESS_DENIED && HeldOpen(diskPath_)) error = ERROR_SHARING_VIOLATION;
    if (!placed) {
        writeDiagnostic(existing != INVALID_FILE_ATTRIBUTES ? "ERROR: Can not delete output file "
                                                            : "can not open output file ",
                        diskPath_);
        failItem(existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY)
                     ? ItemFault{ItemFault::Kind::FolderInTheWay}
                     : SystemFault(error));
        return discardTemporaryFile();
    }
    temporaryPath_.clear();
    writingTarget_ = false;
    markWrittenFile();  // before the attributes: a read-only file takes no new stream
    if (attributesKnown_) {
        const DWORD plain = plainFileAttributes(attributes_, false);
        // A new file carries the archive bit besides what it was made with.
        if (plain != (createdAttributes_ | FILE_ATTRIBUTE_ARCHIVE))
            SetFileAttributesW(diskPath_.c_str(), plain != 0 ? plain : FILE_ATTRIBUTE_NORMAL);
    }
    ++outcome_.written;
    outcome_.lastFile = diskPath_;
    if (!renamedTo_.empty()) outcome_.noteRename(itemPath_, renamedTo_);
    linked_.written(itemIndex_, diskPath_);
    if (symbolicLink_) noteSymbolicLink();
}

HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::GetStream(UINT32 index, ISequentialOutStream** outStream,
                                                            INT32 askExtractMode) {
    if (!outStream) return E_POINTER;
    *outStream = nullptr;
    discardTemporaryFile();  // an item the engine gave up on without a result
    itemWritten_ = false;
    itemWanted_ = false;
    itemFailed_ = false;
    keepingLinkedData_ = false;
    symbolicLink_ = false;
    link_ = nullptr;
    renamedTo_.clear();
    renameExisting_ = false;
    itemIndex_ = index;
    itemPending_ = true;
    try {
        EngineProperty value;
        const HRESULT hr = archive_->GetProperty(index, kpidPath, value.put());
        if (hr != S_OK) return hr;
        if (value.type() == VT_BSTR && value.get().bstrVal && SysStringLen(value.get().bstrVal) != 0)
            itemPath_.assign(value.get().bstrVal, SysStringLen(value.get().bstrVal));
        else if (value.type() == VT_EMPTY || value.type() == VT_BSTR)
            itemPath_ = unnamedItem_;
        else
            return E_FAIL;

        // A deletion marker stands for a file to delete: it is no file, and nothing on disk is
        // touched for it (a file of that name stays as it is).
        if (kinds_ && kinds_->isAnti(index)) {
            if (index < accounted_.size()) accounted_[index] = true;
            return S_OK;
        }
        const bool extracting = askExtractMode == kExtract && !testing_;
        if (!selectionTakes(selection_, itemPath_)) {
            return extracting && linked_.needed(index) ? keepLinkedData(outStream) : S_OK;
        }
        // A wanted item counts as failed when it ends badly, even when the engine only tests
        // it (as it does with the rest of a block it could not decode).
        itemWanted_ = true;
        link_ = links_ ? links_->find(index) : nullptr;
        // Tells a wrong password from damaged data, also for items the engine only tests.
        encrypted_ = archive_->GetProperty(index, kpidEncrypted, value.put()) == S_OK && value.type() == VT_BOOL &&
                     value.get().boolVal != VARIANT_FALSE;
        if (testing_) {
            if (askExtractMode == kTest && index < accounted_.size()) accounted_[index] = true;
            isFolder_ = archive_->GetProperty(index, kpidIsDir, value.put()) == S_OK && value.type() == VT_BOOL &&
                        value.get().boolVal != VARIANT_FALSE;
            if (link_) linkDataAtHand();
            return S_OK;
        }
        if (!extracting) return S_OK;
        if (index < accounted_.size()) accounted_[index] = true;

        const HRESULT read = readItemProperties(index);
        if (read != S_OK) return read;
        symbolicLink_ = !isFolder_ && ((kinds_ && kinds_->isSymbolicLink(index)) ||
                                       (attributesKnown_ && attributesMarkSymbolicLink(attributes_)));

        // Below the folder the user looked at, an item is written relative to it.
        std::wstring_view shownPath = itemPath_;
        if (const auto below = pathBelow(itemPath_, baseFolder_)) shownPath = *below;
        std::optional<std::wstring> relative = safeRelativePath(shownPath);
        // Without paths a folder makes nothing, and a file keeps only its own name.
        if (noPaths_ && relative && !relative->empty()) {
            if (isFolder_) return S_OK;
            relative->erase(0, relative->rfind(L'\\') + 1);
        }
        if (relative && relative->empty() && isFolder_) return S_OK;  // the destination itself: nothing to make
        if (!relative || relative->empty()) {
            // Nothing of it is written; the extraction reports it at its end.
            outcome_.noteSkip(itemPath_);
            itemWanted_ = false;
            if (console_.enabled()) {
                console_.append("Unsafe path, skipped: ");
                console_.appendOem(itemPath_);
                console_.append("\n");
            }
            return linked_.needed(index) ? keepLinkedData(outStream) : S_OK;
        }

        // An item that cannot be written still gives its data to the links that take it.
        const auto fail = [&](ItemFault fault) {
            failItem(std::move(fault));
            return linked_.needed(index) ? keepLinkedData(outStream) : S_OK;
        };
        if (HasOverlongName(*relative)) return fail({ItemFault::Kind::NameTooLong});
        if (link_ && !linkDataAtHand()) return S_OK;
        DWORD error = 0;
        if (isFolder_) {
            names_.claimFolder(*relative);
            diskPath_ = diskPathOf(*relative);
            folderItems_.insert(caseBlindKey(diskPath_));
            if (!ensureFolder(diskPath_, error)) {
                failItem(SystemFault(error));
                return S_OK;
            }
            itemWritten_ = true;
            return S_OK;
        }

        std::wstring name = names_.claimFile(*relative);
        if (name != *relative) renamedTo_ = name;
        diskPath_ = diskPathOf(name);
        WIN32_FILE_ATTRIBUTE_DATA existing{};
        if (GetFileAttributesExW(diskPath_.c_str(), GetFileExInfoStandard, &existing) &&
            !(existing.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            // What is there may be another file reached through its 8.3 alias ("LONGFI~1.TXT"),
            // written by this extraction or not: it is never replaced, the item takes a name of
            // its own instead.
            const bool sameName = diskNamesMatch(diskPath_.substr(0, diskPath_.size() - name.size()), name);
            switch (sameName ? decideAboutExisting(existing) : ExistingFileAction::Rename) {
            case ExistingFileAction::Keep:
                itemWanted_ = false;  // left as it is, at the user's word: no failure
                ++outcome_.kept;
                return linked_.needed(index) ? keepLinkedData(outStream) : S_OK;
            case ExistingFileAction::Rename:
                name = claimFreeName(name);
                if (!sameName) renamedTo_ = name;  // told; a rename the user chose is not
                diskPath_ = diskPathOf(name);
                break;
            case ExistingFileAction::RenameExisting:
                renameExisting_ = true;
                break;
            case ExistingFileAction::Stop:
                stopped_ = true;
                outcome_.declined = true;
                return E_ABORT;
            case ExistingFileAction::Replace:
            case ExistingFileAction::Ask:
                break;
            }
        }
        if ((name.find(L'\\') != std::wstring::npos && !ensureFolder(FolderOf(diskPath_), error)) ||
            !openOutputFile(error)) {
            writeDiagnostic("can not open output file ", diskPath_);
            return fail(SystemFault(error));
        }
        itemName_ = name;
        itemWritten_ = true;
        outReference_->AddRef();
        *outStream = static_cast<ISequentialOutStream*>(outReference_.get());
        return S_OK;
    } catch (const CNewException&) {
    } catch (const std::bad_alloc&) {
    }
    return E_OUTOFMEMORY;
}

HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::PrepareOperation(INT32 askExtractMode) {
    extractMode_ = askExtractMode == kExtract;
    if (console_.enabled()) {
        switch (askExtractMode) {
        case kExtract: console_.append("Extracting  "); break;
        case kTest: console_.append("Testing     "); break;
        case kSkip: console_.append("Skipping    "); break;
        default: break;
        }
        console_.appendOem(itemPath_);
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::SetOperationResult(INT32 operationResult) {
    if (operationResult != kOK && console_.enabled()) {
        console_.append("     ");
        console_.append(OperationResultText(operationResult));
    }
    console_.append("\n");
    itemPending_ = false;
    try {
        if (keepingLinkedData_) {
            keepingLinkedData_ = false;
            linked_.ended(itemIndex_, operationResult == kOK);
            return S_OK;
        }
        if (!itemWanted_) return S_OK;
        if (operationResult != kOK) {
            // A wrong password shows as damaged data in some formats; in an encrypted item
            // that is what it almost always is.
            const bool password = operationResult == kWrongPassword ||
                                  (encrypted_ && (operationResult == kDataError || operationResult == kCRCError));
            if (password) outcome_.wrongPassword = true;
            failItem(password && operationResult != kWrongPassword ? ItemFault{ItemFault::Kind::PasswordOrDamage}
                                                                   : EngineResultFault(operationResult));
        } else if (testing_ && !itemFailed_) {
            ++(isFolder_ ? outcome_.testedFolders : outcome_.tested);
        }
        if (testing_) linked_.ended(itemIndex_, !itemFailed_);
        if (!itemFailed_ && itemWritten_ && !isFolder_) copyLinkedData();
        if (itemFailed_ || !itemWritten_) {
            discardTemporaryFile();
        } else if (!isFolder_) {
            commitFile();
        } else {
            const DWORD plain = attributesKnown_ ? plainFileAttributes(attributes_, true) : 0;
            if (extractMode_ && plain != 0) SetFileAttributesW(diskPath_.c_str(), plain);
        }
        if (itemFailed_) linked_.ended(itemIndex_, false);
    } catch (const CNewException&) {
        return E_OUTOFMEMORY;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::CryptoGetTextPassword(BSTR* password) {
    const HRESULT answer = answerPasswordRequest(progress_, passwordKnown_, password_, password);
    if (answer == E_ABORT) stopped_ = passwordRefused_ = true;
    return answer;
}

void CArchiveExtractCallback::finish() {
    discardTemporaryFile();
    linked_.clear();
    // Deepest first: a folder is made after the one above it.
    for (auto folder = madeFolders_.rbegin(); folder != madeFolders_.rend(); ++folder) {
        // Folder items stay, unless the password that their files needed was wrong or not given.
        if (!outcome_.wrongPassword && !passwordRefused_ && folderItems_.count(caseBlindKey(*folder)) != 0) continue;
        RemoveDirectoryW(folder->c_str());  // refused, as it should be, while anything is inside
    }
    madeFolders_.clear();
    lastFolder_.clear();
}

HRESULT STDMETHODCALLTYPE CArchiveExtractCallback::ReportExtractResult(UINT32 indexType, UINT32 index,
                                                                      INT32 operationResult) {
    if (operationResult == kOK) return S_OK;
    try {
        if (indexType == kInArcIndex && index == itemIndex_ && itemPending_) {
            if (itemWanted_) failItem(EngineResultFault(operationResult));  // its file is dropped at its result
        } else {
            if (indexType != kInArcIndex) {
                outcome_.noteArchiveFailure(EngineResultFault(operationResult));
                return S_OK;
            }
            const std::wstring item = itemPathOf(archive_, index, unnamedItem_);
            if (!selectionTakes(selection_, item)) return S_OK;
            if (index < accounted_.size()) accounted_[index] = true;
            outcome_.noteFailure(item, EngineResultFault(operationResult));
        }
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}
