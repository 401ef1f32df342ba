#include "ops/property_texts.h"

#include <cwchar>

#include "catalog/item_catalog.h"
#include "engine/engine_interfaces.h"
#include "ops/fault_texts.h"

namespace {

// Ids from 3 on, in order; an empty entry has no words of its own.
constexpr const wchar_t* kNames[] = {
    L"Path", L"Name", L"Extension", L"Folder", L"Size", L"Packed Size", L"Attributes", L"Created", L"Accessed",
    L"Modified", L"Solid", L"Commented", L"Encrypted", L"Split Before", L"Split After", L"Dictionary Size", L"CRC",
    L"Type", L"Anti", L"Method", L"Host OS", L"File System", L"User", L"Group", L"Block", L"Comment", L"Position",
    L"Path Prefix", L"Folders", L"Files", L"Version", L"Volume", L"Multivolume", L"Offset", L"Links", L"Blocks",
    L"Volumes", L"Time Type", L"64-bit", L"Big-endian", L"CPU", L"Physical Size", L"Headers Size", L"Checksum",
    L"Characteristics", L"Virtual Address", L"ID", L"Short Name", L"Creator Application", L"Sector Size", L"Mode",
    L"Symbolic Link", L"Error", L"Total Size", L"Free Space", L"Cluster Size", L"Label", L"Local Name", L"Provider",
    L"NT Security", L"Alternate Stream", L"Aux", L"Deleted", L"Tree", L"SHA-1", L"SHA-256", L"Error Type",
    L"Errors", L"Errors", L"Warnings", L"Warning", L"Streams", L"Alternate Streams", L"Alternate Streams Size",
    L"Virtual Size", L"Unpack Size", L"Total Physical Size", L"Volume Index", L"Subtype", L"Short Comment",
    L"Code Page", L"Is Not Archive Type", L"Physical Size Can't Be Detected", L"Zeros Tail Is Allowed",
    L"Tail Size", L"Embedded Stub Size", L"NT Reparse", L"Hard Link", L"iNode", L"Stream ID", L"Read-only",
    L"Out Name", L"Copy Link"};
constexpr PROPID kFirstNamed = 3;

bool IsSizeProperty(PROPID id) {
    switch (id) {
    case kpidSize:
    case kpidPackSize:
    case kpidDictionarySize:
    case kpidPhySize:
    case kpidHeadersSize:
    case kpidOffset:
    case 56: case 57: case 58:           // total size, free space, cluster size
    case 76: case 77: case 78: case 79:  // alternate streams size, virtual, unpack, total physical size
    case 87: case 88:                    // tail size, embedded stub size
        return true;
    default:
        return false;
    }
}

std::wstring PosixMode(uint32_t mode) {
    static constexpr wchar_t kTypes[16] = {L'?', L'p', L'c', L'?', L'd', L'?', L'b', L'?',
                                           L'-', L'?', L'l', L'?', L's', L'?', L'?', L'?'};
    std::wstring text(10, L'-');
    text[0] = kTypes[(mode >> 12) & 15];
    static constexpr wchar_t kRights[] = L"rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit)
        if (mode & (1u << (8 - bit))) text[1 + bit] = kRights[bit];
    return text;
}

}  // namespace

std::wstring PropertyName(PROPID id) {
    if (id >= kFirstNamed && id - kFirstNamed < sizeof(kNames) / sizeof(kNames[0])) return kNames[id - kFirstNamed];
    return L"Property " + std::to_wstring(id);
}

std::wstring GroupedNumber(uint64_t value) { return FormatGroupedNumber(value); }

std::wstring LocalTimeText(const FILETIME& time) {
    FILETIME local{};
    SYSTEMTIME parts{};
    if (!FileTimeToLocalFileTime(&time, &local) || !FileTimeToSystemTime(&local, &parts)) return {};
    wchar_t text[32];
    swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", parts.wYear, parts.wMonth, parts.wDay, parts.wHour,
             parts.wMinute, parts.wSecond);
    return text;
}

std::wstring AttributeLetters(uint32_t attributes) {
    std::wstring text;
    static constexpr struct {
        uint32_t bit;
        wchar_t letter;
    } kLetters[] = {{FILE_ATTRIBUTE_READONLY, L'R'}, {FILE_ATTRIBUTE_HIDDEN, L'H'}, {FILE_ATTRIBUTE_SYSTEM, L'S'},
                    {FILE_ATTRIBUTE_DIRECTORY, L'D'}, {FILE_ATTRIBUTE_ARCHIVE, L'A'}};
    for (const auto& letter : kLetters)
        if (attributes & letter.bit) text += letter.letter;
    // Archivers of Unix origin mark the POSIX mode with bit 15 and keep it in the upper half.
    if ((attributes & 0x8000) && (attributes >> 16) != 0) {
        if (!text.empty()) text += L' ';
        text += PosixMode(attributes >> 16);
    }
    return text;
}

std::wstring PropertyValueText(const PropertyValue& value) {
    const PROPID id = value.id;
    if (value.type == VT_EMPTY) return {};
    if (value.type == VT_BOOL) return value.yes ? L"Yes" : L"No";
    if (value.type == VT_FILETIME) return LocalTimeText(value.time);
    if (value.isNumber) {
        const uint64_t number = value.number;
        if (id == kpidCRC) {
            wchar_t hex[16];
            swprintf(hex, 16, L"%08X", static_cast<unsigned>(number));
            return hex;
        }
        if (id == kpidAttrib) return AttributeLetters(static_cast<uint32_t>(number));
        if (id == kpidPosixAttrib) return PosixMode(static_cast<uint32_t>(number));
        if (id == kpidErrorFlags || id == kpidWarningFlags) return ArchiveFlagsText(static_cast<uint32_t>(number));
        if (IsSizeProperty(id)) return GroupedNumber(number);
        return std::to_wstring(number);
    }
    return value.text;
}
