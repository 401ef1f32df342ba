#pragma once
// The interfaces through which the program and the engine library (7z.dll) talk to each other.
// They follow the COM conventions of Windows: IUnknown first, methods in COM's calling
// convention (STDMETHODCALLTYPE: __stdcall in the x86 build, the one x64 convention in the x64
// build, as the engine of the same architecture expects), results as HRESULT. The engine builds
// its vtables in exactly the slot order below, so the order of the methods in each interface
// must never change.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <propidl.h>

#include <cstdint>

// Interface ids: {23170F69-40C1-278A-0000-00gg00ii0000}, group g, interface i.
inline constexpr GUID MakeEngineInterfaceId(uint8_t group, uint8_t id) {
    return GUID{0x23170F69, 0x40C1, 0x278A, {0x00, 0x00, 0x00, group, 0x00, id, 0x00, 0x00}};
}

inline constexpr GUID IID_ISequentialInStream = MakeEngineInterfaceId(0x03, 0x01);
inline constexpr GUID IID_ISequentialOutStream = MakeEngineInterfaceId(0x03, 0x02);
inline constexpr GUID IID_IInStream = MakeEngineInterfaceId(0x03, 0x03);
inline constexpr GUID IID_IOutStream = MakeEngineInterfaceId(0x03, 0x04);
inline constexpr GUID IID_IStreamGetSize = MakeEngineInterfaceId(0x03, 0x06);
inline constexpr GUID IID_IProgress = MakeEngineInterfaceId(0x00, 0x05);
inline constexpr GUID IID_ICryptoGetTextPassword = MakeEngineInterfaceId(0x05, 0x10);
inline constexpr GUID IID_IArchiveOpenCallback = MakeEngineInterfaceId(0x06, 0x10);
inline constexpr GUID IID_IArchiveExtractCallback = MakeEngineInterfaceId(0x06, 0x20);
inline constexpr GUID IID_IArchiveExtractCallbackMessage2 = MakeEngineInterfaceId(0x06, 0x22);
inline constexpr GUID IID_IArchiveOpenVolumeCallback = MakeEngineInterfaceId(0x06, 0x30);
inline constexpr GUID IID_IArchiveOpenSetSubArchiveName = MakeEngineInterfaceId(0x06, 0x50);
inline constexpr GUID IID_IInArchive = MakeEngineInterfaceId(0x06, 0x60);
inline constexpr GUID IID_ISetProperties = MakeEngineInterfaceId(0x06, 0x03);

// Property ids the program reads by name, of items and of the whole archive. Handlers name
// the others they have through GetPropertyInfo; ops/property_texts.h gives each id its words.
enum EnginePropertyId : PROPID {
    kpidPath = 3,
    kpidName = 4,           // asked of the open callback: the file name of the volume being opened
    kpidIsDir = 6,
    kpidSize = 7,
    kpidPackSize = 8,
    kpidAttrib = 9,
    kpidCTime = 10,
    kpidATime = 11,
    kpidMTime = 12,
    kpidSolid = 13,         // of the archive: several files packed in one stream
    kpidEncrypted = 15,
    kpidDictionarySize = 18,
    kpidCRC = 19,
    kpidType = 20,
    kpidIsAnti = 21,        // boolean: a deletion marker of a differential archive, no file
    kpidMethod = 22,        // text: the item's compression (and encryption) method
    kpidComment = 28,
    kpidNumSubDirs = 31,
    kpidNumSubFiles = 32,
    kpidOffset = 36,        // where the archive starts in the file
    kpidNumBlocks = 38,
    kpidPhySize = 44,       // bytes of the file that belong to the archive
    kpidHeadersSize = 45,
    kpidPosixAttrib = 53,
    kpidSymLink = 54,       // text: where a symbolic link points
    kpidError = 55,         // text: what the handler could not read
    kpidErrorFlags = 71,    // EngineArchiveFlag bits: the archive is damaged
    kpidWarningFlags = 72,  // EngineArchiveFlag bits: read, but not as it should be
    kpidWarning = 73,       // text
    kpidHardLink = 90,      // text: the path of the item whose data a hard link shares
};

// Bits of kpidErrorFlags and kpidWarningFlags.
enum EngineArchiveFlag : uint32_t {
    kArcIsNotArc = 1 << 0,
    kArcHeadersError = 1 << 1,
    kArcEncryptedHeadersError = 1 << 2,
    kArcUnavailableStart = 1 << 3,
    kArcUnconfirmedStart = 1 << 4,
    kArcUnexpectedEnd = 1 << 5,
    kArcDataAfterEnd = 1 << 6,
    kArcUnsupportedMethod = 1 << 7,
    kArcUnsupportedFeature = 1 << 8,
    kArcDataError = 1 << 9,
    kArcCrcError = 1 << 10,
};

// How the engine means to treat an item it hands to the extract callback.
enum EngineAskMode : int32_t {
    kExtract = 0,
    kTest = 1,
    kSkip = 2,
};

// The outcome of one item's extraction; any other value is a failure of no named kind.
enum EngineOperationResult : int32_t {
    kOK = 0,
    kUnsupportedMethod = 1,
    kDataError = 2,
    kCRCError = 3,
    kUnavailable = 4,
    kUnexpectedEnd = 5,
    kDataAfterEnd = 6,
    kIsNotArc = 7,
    kHeadersError = 8,
    kWrongPassword = 9,
};

// Seek origins of the stream interfaces.
enum EngineSeekOrigin : uint32_t {
    kSeekSet = 0,
    kSeekCurrent = 1,
    kSeekEnd = 2,
};

struct ISequentialInStream : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Read(void* data, UINT32 size, UINT32* processedSize) = 0;
};

struct IInStream : public ISequentialInStream {
    virtual HRESULT STDMETHODCALLTYPE Seek(INT64 offset, UINT32 seekOrigin, UINT64* newPosition) = 0;
};

struct IStreamGetSize : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSize(UINT64* size) = 0;
};

// The stream the extract callback hands the engine for one item.
struct ISequentialOutStream : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Write(const void* data, UINT32 size, UINT32* processedSize) = 0;
};

struct IOutStream : public ISequentialOutStream {
    virtual HRESULT STDMETHODCALLTYPE Seek(INT64 offset, UINT32 seekOrigin, UINT64* newPosition) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSize(UINT64 newSize) = 0;
};

struct ICryptoGetTextPassword : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CryptoGetTextPassword(BSTR* password) = 0;
};

struct IProgress : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetTotal(UINT64 total) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* completeValue) = 0;
};

struct IArchiveOpenCallback : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetTotal(const UINT64* files, const UINT64* bytes) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCompleted(const UINT64* files, const UINT64* bytes) = 0;
};

struct IArchiveExtractCallback : public IProgress {
    virtual HRESULT STDMETHODCALLTYPE GetStream(UINT32 index, ISequentialOutStream** outStream,
                                                INT32 askExtractMode) = 0;
    virtual HRESULT STDMETHODCALLTYPE PrepareOperation(INT32 askExtractMode) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetOperationResult(INT32 operationResult) = 0;
};

// Asked of the extract callback by handlers that find an item damaged outside the item's own
// operation (a zip entry whose local header contradicts the central directory, say).
struct IArchiveExtractCallbackMessage2 : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE ReportExtractResult(UINT32 indexType, UINT32 index, INT32 operationResult) = 0;
};

// Kinds of index that ReportExtractResult names.
enum EngineEventIndexType : uint32_t {
    kNoIndex = 0,
    kInArcIndex = 1,
    kBlockIndex = 2,
};

// The engine's archive handler. After the archive's own properties come the descriptions of
// the properties it has: their number, then each one's id and type (a name only for ids of the
// handler's own; the caller frees it).
struct IInArchive : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Open(IInStream* stream, const UINT64* maxCheckStartPosition,
                                           IArchiveOpenCallback* openCallback) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNumberOfItems(UINT32* numItems) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetProperty(UINT32 index, PROPID propId, PROPVARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Extract(const UINT32* indices, UINT32 numItems, INT32 testMode,
                                              IArchiveExtractCallback* extractCallback) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetArchiveProperty(PROPID propId, PROPVARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNumberOfProperties(UINT32* numProps) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPropertyInfo(UINT32 index, BSTR* name, PROPID* propId, VARTYPE* varType) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetNumberOfArchiveProperties(UINT32* numProps) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetArchivePropertyInfo(UINT32 index, BSTR* name, PROPID* propId,
                                                             VARTYPE* varType) = 0;
};

// Asked of the open callback by handlers of archives that span several files (RAR volumes, a
// zip with .z01 parts): the name of the file being opened, and the other volumes by name.
// GetStream answers S_FALSE for a volume that does not exist.
struct IArchiveOpenVolumeCallback : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetProperty(PROPID propId, PROPVARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetStream(const wchar_t* name, IInStream** inStream) = 0;
};

// Told to the open callback when the stream is not a file of its own but one found inside
// another archive: its name, which the volume callback then reports.
struct IArchiveOpenSetSubArchiveName : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetSubArchiveName(const wchar_t* name) = 0;
};

// Settings a handler takes before it opens an archive, by name. The zip handler reads the names
// of entries without the UTF-8 flag in the code page "cp" (VT_UI4), the archiver's -mcp=.
struct ISetProperties : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetProperties(const wchar_t* const* names, const PROPVARIANT* values,
                                                    UINT32 count) = 0;
};

// A hash function of the library (CRC32, SHA256, ...). The four methods cannot fail.
struct IHasher : public IUnknown {
    virtual void STDMETHODCALLTYPE Init() = 0;
    virtual void STDMETHODCALLTYPE Update(const void* data, UINT32 size) = 0;
    virtual void STDMETHODCALLTYPE Final(BYTE* digest) = 0;
    virtual UINT32 STDMETHODCALLTYPE GetDigestSize() = 0;
};

// The library's list of hash functions.
struct IHashers : public IUnknown {
    virtual UINT32 STDMETHODCALLTYPE GetNumHashers() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetHasherProp(UINT32 index, PROPID propId, PROPVARIANT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateHasher(UINT32 index, IHasher** hasher) = 0;
};

// The library's one export: makes a handler object of the given class.
using CreateObjectFunc = HRESULT(WINAPI*)(const GUID* classId, const GUID* interfaceId, void** object);

// The library's lists of what it can do: archive formats, coding methods and hash functions.
using GetNumberOfFormatsFunc = HRESULT(WINAPI*)(UINT32* count);
using GetHandlerPropertyFunc = HRESULT(WINAPI*)(UINT32 formatIndex, PROPID propId, PROPVARIANT* value);
using GetNumberOfMethodsFunc = HRESULT(WINAPI*)(UINT32* count);
using GetMethodPropertyFunc = HRESULT(WINAPI*)(UINT32 methodIndex, PROPID propId, PROPVARIANT* value);
using GetHashersFunc = HRESULT(WINAPI*)(IHashers** hashers);

// What GetHandlerProperty tells of a format.
enum EngineFormatProperty : PROPID {
    kFormatName = 0,            // text
    kFormatClassId = 1,         // 16 bytes in a BSTR
    kFormatExtensions = 2,      // text: extensions separated by blanks
    kFormatAddExtensions = 3,   // text: per extension, what the item inside is called ("*": no extension)
    kFormatUpdate = 4,          // boolean: the archiver can write it
    kFormatSignature = 6,       // bytes in a BSTR
    kFormatMultiSignature = 7,  // bytes: several signatures, each led by its length
    kFormatSignatureOffset = 8, // 32-bit: where the signature stands
    kFormatFlags = 11,          // EngineFormatFlag bits
};

enum EngineFormatFlag : uint32_t {
    kFormatKeepName = 1 << 0,      // one stream, named after the archive
    kFormatFindSignature = 1 << 3, // the archive may start further into the file
    kFormatPreArchive = 1 << 9,    // a program or image that may carry an archive after itself
    kFormatByExtensionOnly = 1 << 12,
};

// What GetMethodProperty and GetHasherProp tell of a method.
enum EngineMethodProperty : PROPID {
    kMethodName = 1,           // text
    kMethodEncoderAssigned = 8,  // boolean: the library can write with it
    kMethodDigestSize = 9,       // 32-bit, of a hash function
};
