#include "OutputName.h"
#include "RunPaths.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

namespace {
struct NameCase {
  const char* Picked;  // UTF-8, as on disk
  const char* Label;
  const char* Expected;
};
void PrintTo(const NameCase& C, std::ostream* Os) { *Os << C.Picked << " " << C.Label; }


std::string Repeat(const std::string& S, int N) {
  std::string R;
  for (int I = 0; I < N; ++I) R += S;
  return R;
}

class OutputNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(OutputNameTest, FromPickedFileName) {
  const NameCase& C = GetParam();
  EXPECT_EQ(OutputName(OutputNameBase(C.Picked), C.Label), C.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, OutputNameTest,
    testing::Values(NameCase{"猛虎.jpg", "128K", "MENGHU_128K.supk"},
                    NameCase{"my photo.JPG", "160K", "MYPHOTO_160K.supk"},
                    NameCase{"a.b.jpg", "128K", "A.B_128K.supk"},
                    NameCase{".jpg", "128K", "_128K.supk"},
                    NameCase{"佛.jpg", "128K", "_128K.supk"},
                    NameCase{"x.JPG", "256K", "X_256K.supk"},
                    NameCase{"张三 2.bmp", "128K", "ZHANGSAN2_128K.supk"},
                    NameCase{"noext", "160K", "NOEXT_160K.supk"},
                    // A character GBK cannot hold vanishes like one without a reading.
                    NameCase{"😀猛虎.jpg", "128K", "MENGHU_128K.supk"},
                    // Full-width dots and a solidus: the solidus must not make a directory.
                    NameCase{"．．／．．／x.jpg", "128K", "....X_128K.supk"},
                    // Control bytes would end up in the package's name.
                    NameCase{"a\x01" "b\x1F.jpg", "128K", "AB_128K.supk"}));

TEST(OutputName, LongNameIsCutBeforeTheExtensionIsRemoved) {
  // 30 × 猛 gives 120 letters: the cut takes the extension, so no dot survives.
  EXPECT_EQ(OutputName(OutputNameBase(Repeat("猛", 30) + ".jpg"), "128K"), Repeat("MENG", 25) + "_128K.supk");
  // A dot before the cut survives, and the stem ends there.
  EXPECT_EQ(OutputName(OutputNameBase("a.b" + Repeat("猛", 30) + ".jpg"), "128K"), "A_128K.supk");
  // The suffix comes after the cut, so the name may pass 100 characters.
  EXPECT_GT(OutputName(OutputNameBase(Repeat("猛", 30) + ".jpg"), "128K").size(), 100u);
}

TEST(OutputName, SpacesGoAfterTheCut) {
  // 100 letters with a space among them: the cut counts the space.
  const std::string Name = "a " + std::string(99, 'b') + ".jpg";
  EXPECT_EQ(OutputName(OutputNameBase(Name), "128K"), "A" + std::string(98, 'B') + "_128K.supk");
}

struct PathCase {
  bool Relative;
  const char* Picked;
  const char* PictureCopy;
  const char* RawFrame;
  const char* CompressedFrame;
};
void PrintTo(const PathCase& C, std::ostream* Os) { *Os << C.Picked << (C.Relative ? " relative" : " absolute"); }


class RunPathsTest : public testing::TestWithParam<PathCase> {};

TEST_P(RunPathsTest, WorkingFilesFollowTheBasePath) {
  const PathCase& C = GetParam();
  const std::string Base = C.Relative ? "./" : "/opt/my tools/u830/";
  const RunPaths P(Base, C.Picked);
  EXPECT_EQ(P.PictureCopy, Base + C.PictureCopy);
  EXPECT_EQ(P.RawFrame, Base + C.RawFrame);
  EXPECT_EQ(P.CompressedFrame, Base + C.CompressedFrame);
  EXPECT_EQ(P.WorkDir, Base + "temp");
  EXPECT_EQ(P.WorkingPackage, Base + "temp/tempSupk.zip");
  EXPECT_EQ(P.VersionDescription, Base + "temp/version.xml");
  EXPECT_EQ(P.LogoImage, Base + "temp/logo_new.img");
  EXPECT_EQ(P.ZipProgram, Base + "temp/zip.exe");
  EXPECT_EQ(P.ReadmeCopy("160K"), Base + "temp/160K.txt");
  EXPECT_EQ(P.UpdatePackage("X_128K.supk"), Base + "X_128K.supk");
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RunPathsTest,
    testing::Values(
        PathCase{true, "/home/u/pics/tiger.JPG", "temp/YuanTu.JPG", "temp/tempYuanTu.JPG", "temp/tempYuanTu.JPG.gz"},
        PathCase{false, "/home/u/pics/tiger.JPG", "temp/YuanTu.JPG", "temp/tempYuanTu.JPG",
                 "temp/tempYuanTu.JPG.gz"},
        PathCase{true, "/home/u/a.png", "temp/YuanTu.png", "temp/tempYuanTu.png", "temp/tempYuanTu.png.gz"},
        PathCase{true, "/home/u.d/noext", "temp/YuanTu", "temp/tempYuanTu", "temp/tempYuanTu.gz"}));
}  // namespace
