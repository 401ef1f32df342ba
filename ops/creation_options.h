#pragma once
// The choices of an archive to be written: format, compression level and method, solid blocks,
// a size for split parts, the encryption, the update mode, and the removal of the files once
// they are safely in the archive. Pure: what each format allows, why a choice cannot be had,
// and the archiver switches that carry the choices out.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How files meet the entries of an existing archive.
enum class UpdateMode {
    AddAndReplace,  // every file is added; an entry of the same name is replaced
    Update,         // files new to the archive are added, entries older than their file replaced
    Freshen,        // only entries older than their file are replaced; nothing new is added
    Synchronize,    // as Update, and entries below the named items whose file is gone are removed
};

struct CreationOptions {
    std::wstring format = L"zip";         // the engine's name: 7z, zip, tar, gzip, bzip2, xz, wim
    int level = 5;                         // 0 store, 1 fastest, 3 fast, 5 normal, 7 maximum, 9 ultra
    std::wstring method;                   // empty: the format's own default
    bool solid = true;                     // 7z: files compressed together
    uint64_t volumeSize = 0;               // bytes per part of a split archive; 0: one file
    std::wstring encryption = L"AES256";   // zip: "AES256" or "ZipCrypto"; 7z is always AES-256
    bool encryptNames = false;             // 7z: the list of names is encrypted too
    bool deleteAfter = false;              // the added files go once the archive is verified
    UpdateMode mode = UpdateMode::AddAndReplace;
};

// What the dialog knows about the add when it checks the choices.
struct CreationContext {
    size_t itemCount = 0;               // files and folders to add
    bool onlyOneFile = false;           // exactly one item, and it is a file
    bool archiveExists = false;
    std::wstring existingFormat;        // the format of the existing archive, when it opened
    bool existingWritable = true;       // the existing archive can be changed by the archiver
    bool splitPartsExist = false;       // "<archive>.001" exists already
    bool hasPassword = false;
};

// The formats the program writes, in the order offered.
std::vector<std::wstring> CreatableFormats();
// The formats offered for `itemCount` items: the one-file formats only for exactly one file.
std::vector<std::wstring> OfferedFormats(size_t itemCount, bool onlyOneFile);
// The extension of the format's archives, without the dot ("gzip" -> "gz").
std::wstring FormatExtension(std::wstring_view format);
// The format whose extension the path ends in (any case); empty when none.
std::wstring FormatOfExtension(std::wstring_view path);
// A format that holds one compressed file (gzip, bzip2, xz).
bool IsSingleFileFormat(std::wstring_view format);

bool LevelApplies(std::wstring_view format);
bool SolidApplies(std::wstring_view format);
bool EncryptionApplies(std::wstring_view format);
bool EncryptNamesApplies(std::wstring_view format);

// The levels offered: value and name ("Store", "Fastest", "Fast", "Normal", "Maximum", "Ultra").
struct LevelChoice {
    int level;
    const wchar_t* name;
};
const std::vector<LevelChoice>& CompressionLevels();

// The methods offered for the format, the default first, among those the engine can write
// (`encoders`, as the engine names them); empty where the format has no choice.
std::vector<std::wstring> MethodsFor(std::wstring_view format, const std::vector<std::wstring>& encoders);

// A size as users write it: "10M", "700 MB", "1.44M", "4G", "512K", "1000000" (bytes).
std::optional<uint64_t> ParseVolumeSize(std::wstring_view text);

// Why the choices cannot be carried out, as a sentence for the dialog; empty when they can.
std::wstring CreationProblem(const CreationOptions& options, const CreationContext& context);

// The archiver's switches for the choices ("-t7z", "-mx=9", "-m0=PPMd", "-ms=off", "-v10485760b",
// "-mhe=on", "-mem=AES256"). `encrypted`: a password is given.
std::vector<std::wstring> ArchiverSwitches(const CreationOptions& options, bool encrypted);

// True when the archiver's threads for an add into a `format` archive depend on the files added
// (see ThreadSwitchFor), so that they are counted before the archiver starts.
bool ThreadsFollowTheFiles(std::wstring_view format);

// The archiver's thread switch for an add of `files` files holding `bytes` into a `format`
// archive, or empty for its own choice. A zip archive compresses one file per thread; when the
// files are tiny the compressing is nothing beside handing each file from thread to thread,
// and one thread adds them faster (under Wine, where every hand-over goes through its server,
// ten thousand files of a few bytes take a fifth less time).
std::wstring ThreadSwitchFor(std::wstring_view format, uint64_t files, uint64_t bytes);

// The archiver's state actions for the mode (its -u switch letters), as "p1q1r2x1y2z1w2".
std::wstring UpdateActions(UpdateMode mode);

// Why the choices the format does not have are greyed out, as a sentence for the dialog; empty
// when every choice applies.
std::wstring UnavailableChoicesNote(const CreationOptions& options);

// The archive name for another format: a known archive extension is cut off and the format's
// put in its place; a one-file format names the one file `singleSource` ("report.txt.gz").
std::wstring ArchiveNameForFormat(const std::wstring& archivePath, std::wstring_view format,
                                  const std::wstring& singleSource);
