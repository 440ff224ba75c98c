#include "Gbk.h"

#include <gtest/gtest.h>

namespace {
struct TGbkCase {
  const char* Utf8;
  const char* Gbk;
};

class GbkRoundTrip : public testing::TestWithParam<TGbkCase> {};

TEST_P(GbkRoundTrip, ConvertsBothWays) {
  EXPECT_EQ(Utf8ToGbk(GetParam().Utf8), GetParam().Gbk);
  EXPECT_EQ(GbkToUtf8(GetParam().Gbk), GetParam().Utf8);
}

INSTANTIATE_TEST_SUITE_P(Cases, GbkRoundTrip,
                         testing::Values(TGbkCase{"猛虎.jpg", "\xC3\xCD\xBB\xA2.jpg"},
                                         TGbkCase{"abc 123", "abc 123"},
                                         TGbkCase{"文件格式不对！", "\xCE\xC4\xBC\xFE\xB8\xF1\xCA\xBD\xB2\xBB\xB6\xD4\xA3\xA1"},
                                         TGbkCase{"", ""}));

TEST(Gbk, WhatCannotBeConvertedIsDropped) {
  EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80" "b"), "ab");  // an emoji has no GBK code
  EXPECT_EQ(Utf8ToGbk("a\xFF" "b\xC3"), "ab");          // malformed and cut-off UTF-8
  EXPECT_EQ(GbkToUtf8("a\xC3"), "a");                   // a lead byte without its trail
  EXPECT_EQ(GbkToUtf8("\xFF\xFF" "b"), "b");
}
}  // namespace
