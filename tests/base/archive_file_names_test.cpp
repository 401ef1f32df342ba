// The names the "Add to" commands give the archive they make of a selection.
#include <gtest/gtest.h>

#include "base/archive_file_names.h"

TEST(SelectionArchiveStem, OneItemGivesItsNameAndSeveralTheFolderThatHoldsThem) {
    EXPECT_EQ(SelectionArchiveStem({L"C:\\photos\\trip.jpeg"}, false), L"trip");
    EXPECT_EQ(SelectionArchiveStem({L"C:\\photos\\v1.2"}, true), L"v1.2") << "a folder keeps its dots";
    EXPECT_EQ(SelectionArchiveStem({L"C:\\photos\\a.txt", L"C:\\photos\\b"}, false), L"photos");
    EXPECT_EQ(SelectionArchiveStem({L"D:\\a.txt", L"D:\\b.txt"}, false, L"Backup"), L"Backup");
    EXPECT_EQ(SelectionArchiveStem({L"D:\\"}, true), L"D");
    EXPECT_EQ(SelectionArchiveStem({L"C:\\x\\.profile"}, false), L".profile");
}
