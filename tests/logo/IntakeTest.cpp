#include "PictureIntake.h"

#include <gtest/gtest.h>

namespace {
struct TExtCase {
  const char* Path;
  TPictureKind Kind;
};

class ExtensionTest : public testing::TestWithParam<TExtCase> {};

TEST_P(ExtensionTest, TheExtensionAloneDecides) { EXPECT_EQ(PictureKindOf(GetParam().Path), GetParam().Kind); }

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtensionTest,
    testing::Values(TExtCase{"./temp/YuanTu.bmp", TPictureKind::Bmp}, TExtCase{"./temp/YuanTu.Bmp", TPictureKind::Bmp},
                    TExtCase{"/p/temp/YuanTu.BMP", TPictureKind::Bmp}, TExtCase{"photo.jpg", TPictureKind::Jpeg},
                    TExtCase{"photo.JPG", TPictureKind::Jpeg}, TExtCase{"photo.jPg", TPictureKind::Jpeg},
                    TExtCase{"a.png.jpg", TPictureKind::Jpeg}, TExtCase{"photo.jpeg", TPictureKind::Refused},
                    TExtCase{"photo.png", TPictureKind::Refused}, TExtCase{"./temp/YuanTu", TPictureKind::Refused},
                    TExtCase{"./dir.bmp/YuanTu", TPictureKind::Refused},  // the dot is not in the name
                    TExtCase{"d.jpg:YuanTu", TPictureKind::Refused}, TExtCase{"photo.jpg.", TPictureKind::Refused},
                    TExtCase{"photo.bmp ", TPictureKind::Refused}, TExtCase{"photo.jpg.gz", TPictureKind::Refused},
                    TExtCase{"photo.ｊpg", TPictureKind::Refused},  // only a to z are upper-cased
                    TExtCase{"", TPictureKind::Refused}));

struct TSizeCase {
  int Width, Height;
  bool Warn;
};

class SizeWarningTest : public testing::TestWithParam<TSizeCase> {};

TEST_P(SizeWarningTest, OnlyThePhonesScreenSizePassesQuietly) {
  EXPECT_EQ(SizeWarningDue(GetParam().Width, GetParam().Height), GetParam().Warn);
}

INSTANTIATE_TEST_SUITE_P(Cases, SizeWarningTest,
                         testing::Values(TSizeCase{320, 480, false}, TSizeCase{480, 320, true},
                                         TSizeCase{321, 480, true}, TSizeCase{320, 481, true},
                                         TSizeCase{319, 479, true}, TSizeCase{1, 1, true}));

}  // namespace
