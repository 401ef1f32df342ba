#include <gtest/gtest.h>

#include "base/paths.h"

// "C:" alone names the current folder of drive C: every function keeps a root as "C:\".
TEST(Paths, ADriveRootKeepsItsBackslashEverywhere) {
    EXPECT_EQ(FolderOf(L"C:\\x.zip"), L"C:\\");
    EXPECT_EQ(ParentOf(L"C:\\Data\\"), L"C:\\");
    EXPECT_EQ(WithoutTrailingSeparator(L"C:\\\\"), L"C:\\");
    EXPECT_EQ(JoinPath(L"C:\\", L"x.zip"), L"C:\\x.zip");
    EXPECT_EQ(JoinPath(L"C:", L"x.zip"), L"C:\\x.zip");
    EXPECT_TRUE(SameFolder(L"c:\\", L"C:\\\\"));
    // A root has no folder above it, nor has a path without a folder.
    EXPECT_EQ(FolderOf(L"C:\\"), L"");
    EXPECT_EQ(ParentOf(L"C:\\"), L"");
    EXPECT_EQ(FolderOf(L"x.zip"), L"");
    EXPECT_EQ(FolderOf(L"\\x"), L"");
    EXPECT_EQ(ParentOf(L"Computer"), L"");
}

TEST(Paths, FoldersNamesAndJoins) {
    EXPECT_EQ(FolderOf(L"C:\\in\\sub\\x.zip"), L"C:\\in\\sub");
    EXPECT_EQ(FolderOf(L"\\\\server\\share\\x.zip"), L"\\\\server\\share");
    EXPECT_EQ(ParentOf(L"C:\\in\\x.zip\\docs\\"), L"C:\\in\\x.zip");
    EXPECT_EQ(FileNameOf(L"C:\\in\\x.zip"), L"x.zip");
    EXPECT_EQ(FileNameOf(L"C:/in/x.zip"), L"x.zip");
    EXPECT_EQ(FileNameOf(L"x.zip"), L"x.zip");
    EXPECT_EQ(JoinPath(L"C:\\in\\", L"x"), L"C:\\in\\x");
    EXPECT_EQ(JoinPath(L"", L"x"), L"x");
    EXPECT_EQ(WithTrailingSeparator(L"C:\\in"), L"C:\\in\\");
    EXPECT_EQ(WithTrailingSeparator(L""), L"");
    EXPECT_TRUE(SameFolder(L"C:\\In\\", L"c:\\in"));
    EXPECT_FALSE(SameFolder(L"C:\\in", L"C:\\in2"));
    EXPECT_FALSE(SameFolder(L"", L""));
    EXPECT_TRUE(IsSameOrInside(L"C:\\in\\x", L"c:\\IN"));
    EXPECT_TRUE(IsSameOrInside(L"C:\\in\\x", L"C:\\"));
    EXPECT_FALSE(IsSameOrInside(L"C:\\in2", L"C:\\in"));
}
