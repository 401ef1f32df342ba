#include <gtest/gtest.h>

#include "base/text.h"

TEST(TextConversion, RoundTripsNonAsciiText) {
    const std::wstring wide = L"caf\u00e9 \u6587\u4ef6 \U0001F600";
    auto utf8 = WideToUtf8(wide);
    ASSERT_TRUE(utf8.has_value());
    EXPECT_EQ(*utf8, "caf\xc3\xa9 \xe6\x96\x87\xe4\xbb\xb6 \xf0\x9f\x98\x80");
    auto back = Utf8ToWide(*utf8);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, wide);
}

TEST(TextConversion, RefusesMalformedInput) {
    EXPECT_FALSE(WideToUtf8(std::wstring(1, wchar_t(0xD800))).has_value());  // unpaired surrogate
    EXPECT_FALSE(Utf8ToWide("\xc3").has_value());                            // cut sequence
    EXPECT_FALSE(Utf8ToWide("\xff\xfe").has_value());
}

TEST(TextConversion, CopyToBufferNeverWritesPastTheEnd) {
    wchar_t buffer[5];
    wmemset(buffer, L'#', 5);
    EXPECT_FALSE(CopyToBuffer(buffer, 4, L"abcdef"));
    EXPECT_STREQ(buffer, L"abc");
    EXPECT_EQ(buffer[4], L'#');
    EXPECT_TRUE(CopyToBuffer(buffer, 4, L"ab"));
    EXPECT_STREQ(buffer, L"ab");
}
