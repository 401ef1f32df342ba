#include "support/rar_writer.h"

#include "support/zip_writer.h"

#include <ctime>

namespace testsupport {

namespace {

void PutVarInt(std::string& out, uint64_t value) {
    do {
        unsigned char b = value & 0x7F;
        value >>= 7;
        if (value) b |= 0x80;
        out += static_cast<char>(b);
    } while (value);
}

void Put32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A block: CRC32 of everything from the size field on, the size of the rest, then the rest.
std::string Block(const std::string& body) {
    std::string sized;
    PutVarInt(sized, body.size());
    sized += body;
    std::string block;
    Put32(block, Crc32(sized));
    return block + sized;
}

}  // namespace

std::string MakeRar(const std::vector<RarEntry>& entries) { return MakeRarVolume(entries, 0, true); }

std::string MakeRarVolume(const std::vector<RarEntry>& entries, unsigned number, bool last) {
    const bool volume = number != 0 || !last;
    std::string out("Rar!\x1A\x07\x01\x00", 8);

    std::string main;
    PutVarInt(main, 1);  // main archive header
    PutVarInt(main, 0);  // header flags
    PutVarInt(main, (volume ? 0x01 : 0) | (number != 0 ? 0x02 : 0));  // a volume; its number follows
    if (number != 0) PutVarInt(main, number);
    out += Block(main);

    for (const RarEntry& e : entries) {
        std::string file;
        PutVarInt(file, 2);                        // file header
        PutVarInt(file, e.directory ? 0 : 0x02);   // a data area follows, for files
        if (!e.directory) PutVarInt(file, e.data.size());
        PutVarInt(file, (e.directory ? 0x01 : 0x04) | 0x02);  // folder or CRC present; time present
        PutVarInt(file, e.directory ? 0 : e.data.size());
        PutVarInt(file, e.attributes | (e.directory ? 0x10u : 0u));
        Put32(file, e.modified);
        if (!e.directory) Put32(file, Crc32(e.data));
        PutVarInt(file, 0);  // compression: version 0, stored
        PutVarInt(file, 0);  // host: Windows
        PutVarInt(file, e.name.size());
        file += e.name;
        out += Block(file);
        if (!e.directory) out += e.data;
    }

    std::string end;
    PutVarInt(end, 5);  // end of archive
    PutVarInt(end, 0);
    PutVarInt(end, last ? 0 : 0x01);  // another volume follows
    out += Block(end);
    return out;
}

namespace {

void Put16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

// A RAR 4 block: CRC16 (low half of the CRC32) of everything after the CRC field.
std::string Block4(const std::string& afterCrc) {
    std::string block;
    Put16(block, Crc32(afterCrc) & 0xFFFF);
    return block + afterCrc;
}

std::u16string Utf16Of(const std::string& utf8) {
    std::u16string out;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = utf8[i];
        uint32_t cp = c;
        size_t n = 1;
        if (c >= 0xF0) cp = c & 0x07, n = 4;
        else if (c >= 0xE0) cp = c & 0x0F, n = 3;
        else if (c >= 0xC0) cp = c & 0x1F, n = 2;
        for (size_t k = 1; k < n && i + k < utf8.size(); ++k) cp = (cp << 6) | (utf8[i + k] & 0x3F);
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

// The name field of a Unicode name: an ASCII form, a zero, then every unit as two bytes
// (operation 2 of the name coding, four operations to a flag byte).
std::string EncodedName(const std::string& utf8) {
    std::string out;
    for (unsigned char c : utf8) out += c < 0x80 ? static_cast<char>(c == '/' ? '\\' : c) : '_';
    out += '\0';
    out += '\0';  // high byte for operation 1, unused
    const std::u16string units = Utf16Of(utf8);
    for (size_t i = 0; i < units.size(); i += 4) {
        out += static_cast<char>(0xAA);
        for (size_t k = i; k < i + 4 && k < units.size(); ++k) {
            const char16_t u = units[k] == u'/' ? u'\\' : units[k];
            Put16(out, u);
        }
    }
    return out;
}

uint32_t DosTime(uint32_t unixTime) {
    const time_t t = static_cast<time_t>(unixTime);
    // Civil date from days since 1970 (UTC).
    int64_t days = static_cast<int64_t>(t) / 86400;
    const uint32_t secs = static_cast<uint32_t>(t % 86400);
    days += 719468;
    const int64_t era = days / 146097;
    const unsigned doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned day = doy - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    const unsigned year = static_cast<unsigned>(yoe + era * 400 + (month <= 2));
    const uint32_t date = ((year - 1980) << 9) | (month << 5) | day;
    const uint32_t clock = ((secs / 3600) << 11) | ((secs / 60 % 60) << 5) | (secs % 60 / 2);
    return (date << 16) | clock;
}

}  // namespace

std::string MakeRar4(const std::vector<RarEntry>& entries) {
    std::string out("Rar!\x1A\x07\x00", 7);

    std::string main;
    main += static_cast<char>(0x73);
    Put16(main, 0);
    Put16(main, 13);
    Put16(main, 0);
    Put32(main, 0);
    out += Block4(main);

    for (const RarEntry& e : entries) {
        const std::string name = EncodedName(e.name);
        const uint32_t size = e.directory ? 0 : static_cast<uint32_t>(e.data.size());
        std::string file;
        file += static_cast<char>(0x74);
        Put16(file, 0x8000 | 0x0200 | (e.directory ? 0x00E0 : 0));
        Put16(file, static_cast<uint32_t>(32 + name.size()));
        Put32(file, size);
        Put32(file, size);
        file += static_cast<char>(2);  // host: Win32
        Put32(file, e.directory ? 0 : Crc32(e.data));
        Put32(file, DosTime(e.modified));
        file += static_cast<char>(20);    // version needed
        file += static_cast<char>(0x30);  // stored
        Put16(file, static_cast<uint32_t>(name.size()));
        Put32(file, e.attributes | (e.directory ? 0x10u : 0u));
        file += name;
        out += Block4(file);
        if (!e.directory) out += e.data;
    }

    std::string end;
    end += static_cast<char>(0x7B);
    Put16(end, 0x4000);
    Put16(end, 7);
    out += Block4(end);
    return out;
}

}  // namespace testsupport
