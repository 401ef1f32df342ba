// Damaged archives never crash or hang the listing: it fails cleanly or lists what it can.
#include <gtest/gtest.h>

#include "damaged_archives.h"

using namespace enginetest;

namespace {

TEST(DamagedListing, FailsCleanlyOrListsWhatItCan) {
    TempDir dir(L"damaged");
    const std::vector<DamagedArchive> variants = MakeDamagedArchives(dir.path());
    ASSERT_GE(variants.size(), 12u);
    int failed = 0;
    for (const DamagedArchive& variant : variants) {
        const std::wstring path = dir / variant.name;
        WriteFileBytes(path, variant.bytes);
        ListingResult result;
        result.password = L"unused";
        int code = -1;
        WithinTimeLimit(variant.name, 60000, [&] { code = listArchive(path, archiveKindOf(path), result); });
        EXPECT_TRUE(code == 0 || code == 1) << Narrow(variant.name);
        if (code == 1) {
            ++failed;
            EXPECT_TRUE(result.items.empty()) << Narrow(variant.name);
            EXPECT_EQ(result.password, L"unused");
        }
        for (const ArchiveItem& item : result.items) EXPECT_LT(item.path.size(), 4096u);
    }
    // The truncated and empty files at least cannot have opened.
    EXPECT_GE(failed, 8);
}

}  // namespace
