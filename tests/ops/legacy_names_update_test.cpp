// Changing a zip whose names are in the code page of the machine that made them: the change
// finds its entries by those names, and every other entry keeps its stored name byte for byte.
#include <set>

#include "catalog/item_catalog.h"
#include "engine/zip_names.h"
#include "ops/update_check.h"
#include "ops_test_util.h"
#include "support/zip_writer.h"

using namespace opstest;

namespace {

std::string ShiftJis(const std::wstring& text) {
    std::string out(text.size() * 2, '\0');
    out.resize(static_cast<size_t>(WideCharToMultiByte(932, 0, text.data(), static_cast<int>(text.size()), out.data(),
                                                       static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

std::set<std::pair<std::string, bool>> StoredNames(const std::wstring& archive) {
    ZipNamesRead read;
    EXPECT_TRUE(readZipNames(archive, UINT64_MAX, read));
    std::set<std::pair<std::string, bool>> names;
    for (const ZipRawName& name : read.names) names.insert({name.bytes, name.utf8});
    return names;
}

}  // namespace

TEST(LegacyNames, DeleteRenameAndAddFindTheirEntriesAndKeepTheOtherNamesStoredAsTheyWere) {
    TempDir dir(L"legacy update");
    const std::wstring archive = dir / L"japanese.zip";
    const std::wstring kept = L"\u65e5\u672c\u8a9e.txt", inFolder = L"\u30d5\u30a9\u30eb\u30c0/\u30c6\u30b9\u30c8.txt",
                       gone = L"\u6d88\u3059.txt", renamed = L"\u540d\u524d.txt";
    std::vector<ZipEntry> entries;
    for (const std::wstring& name : {kept, inFolder, gone, renamed}) {
        ZipEntry entry;
        entry.name = ShiftJis(name);
        entry.data = entry.name;
        entry.utf8Name = false;
        entries.push_back(entry);
    }
    WriteFileBytes(archive, MakeZip(entries));
    ItemCatalog catalog;
    AppDialogs dialogs;
    Told told;
    ASSERT_TRUE(told(OpenArchive(catalog, archive)).done());
    // Before, the archiver matched no name of this archive: the delete deleted nothing.
    EXPECT_TRUE(told(DeleteEntries(catalog, {gone})).done());
    EXPECT_TRUE(told(RenameEntry(catalog, renamed, L"\u65b0\u3057\u3044.txt")).done());
    WriteFileBytes(dir / L"src\\\u8ffd\u52a0.txt", "added");
    EXPECT_TRUE(told(AddFiles(catalog, {dir / L"src\\\u8ffd\u52a0.txt"})).done());
    EXPECT_TRUE(told.messages().empty()) << told.messages().front();
    const std::string newName = "\xE6\x96\xB0\xE3\x81\x97\xE3\x81\x84.txt";
    EXPECT_EQ(StoredNames(archive), (std::set<std::pair<std::string, bool>>{
                                        {ShiftJis(kept), false}, {ShiftJis(inFolder), false}, {newName, true},
                                        {"\xE8\xBF\xBD\xE5\x8A\xA0.txt", true}}));
    EXPECT_EQ(ContentsOf(archive).size(), 4u);

    // An archiver that stored an untouched name anew (here in UTF-8) fails the check.
    const std::vector<ZipRawName> before = {{ShiftJis(kept), false}, {ShiftJis(gone), false}};
    UntouchedEntries untouched;
    untouched.touched = {gone};
    EXPECT_EQ(UntouchedNameBytesProblem(before, {{ShiftJis(kept), false}}, 932, untouched), L"");
    const std::string utf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E.txt";
    EXPECT_NE(UntouchedNameBytesProblem(before, {{utf8, true}}, 932, untouched).find(kept), std::wstring::npos);
}
