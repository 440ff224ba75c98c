#include "Classes.h"
#include "Exceptions.h"
#include "SysUtils.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {
struct TNameCase {
  const char* Name;
  const char* Path;
  const char* FileName;
  const char* Ext;
  const char* WithoutExt;
};

class FileNameParts : public testing::TestWithParam<TNameCase> {};

TEST_P(FileNameParts, SplitLikeThePlatform) {
  const TNameCase& C = GetParam();
  EXPECT_EQ(ExtractFilePath(C.Name), C.Path);
  EXPECT_EQ(ExtractFileName(C.Name), C.FileName);
  EXPECT_EQ(ExtractFileExt(C.Name), C.Ext);
  EXPECT_EQ(ChangeFileExt(C.Name, ""), C.WithoutExt);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileNameParts,
    testing::Values(TNameCase{"/pics/tiger.JPG", "/pics/", "tiger.JPG", ".JPG", "/pics/tiger"},
                    TNameCase{"./temp/YuanTu.jpg", "./temp/", "YuanTu.jpg", ".jpg", "./temp/YuanTu"},
                    TNameCase{"./temp/tempYuanTu.JPG.gz", "./temp/", "tempYuanTu.JPG.gz", ".gz",
                              "./temp/tempYuanTu.JPG"},
                    TNameCase{"/a.dir/noext", "/a.dir/", "noext", "", "/a.dir/noext"},
                    TNameCase{"D:tiger.bmp", "D:", "tiger.bmp", ".bmp", "D:tiger"},
                    TNameCase{"a.b:c", "a.b:", "c", "", "a.b:c"},
                    TNameCase{"name.", "", "name.", ".", "name"},
                    TNameCase{"/pics/my photo.jpeg", "/pics/", "my photo.jpeg", ".jpeg", "/pics/my photo"},
                    TNameCase{"猛虎.jpg", "", "猛虎.jpg", ".jpg", "猛虎"},
                    TNameCase{"", "", "", "", ""}));

TEST(Strings, UpperCaseChangesOnlyAsciiLetters) {
  EXPECT_EQ(UpperCase("photo.jpg"), "PHOTO.JPG");
  EXPECT_EQ(UpperCase("猛虎.Bmp"), "猛虎.BMP");
  EXPECT_EQ(UpperCase("\xE9z"), "\xE9Z");
}

TEST(Strings, StringReplaceAllRemovesEveryOccurrence) {
  EXPECT_EQ(StringReplaceAll("MENG HU  X", " ", ""), "MENGHUX");
  EXPECT_EQ(StringReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(StringReplaceAll("abc", "", "x"), "abc");
}

TEST(Files, DirectoriesAreMadeWithTheirParents) {
  TTempDir Dir;
  EXPECT_TRUE(ForceDirectories(Dir.Path() + "a b/c/temp"));
  EXPECT_TRUE(DirectoryExists(Dir.Path() + "a b/c/temp"));
  EXPECT_TRUE(ForceDirectories(Dir.Path() + "a b/c/temp"));  // already there
  WriteBytes(Dir.Path() + "file", {1});
  EXPECT_FALSE(ForceDirectories(Dir.Path() + "file/sub"));
  EXPECT_TRUE(FileExists(Dir.Path() + "file"));
  EXPECT_FALSE(FileExists(Dir.Path() + "a b"));  // a directory is not a file
}

TEST(Files, DeleteReportsOnlyThroughItsResult) {
  TTempDir Dir;
  WriteBytes(Dir.Path() + "x", {1});
  EXPECT_TRUE(DeleteFile(Dir.Path() + "x"));
  EXPECT_FALSE(FileExists(Dir.Path() + "x"));
  EXPECT_FALSE(DeleteFile(Dir.Path() + "x"));
}

TEST(Files, CurrentDirectoryCanBeSetAndRead) {
  TTempDir Dir;
  const std::string Old = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(Dir.Path()));
  EXPECT_EQ(GetCurrentDir() + "/", Dir.Path());
  EXPECT_EQ(ExpandFileName("./temp/../temp/a"), Dir.Path() + "temp/a");
  EXPECT_FALSE(SetCurrentDir(Dir.Path() + "missing"));
  SetCurrentDir(Old);
}

TEST(CopyFile, ReplacesTheTargetWhole) {
  TTempDir Dir;
  const TBytes Data = PseudoRandomBytes(70000, 3);
  WriteBytes(Dir.Path() + "src", Data);
  WriteBytes(Dir.Path() + "dst", TBytes(100000, 9));  // longer than the source
  CopyFileA(Dir.Path() + "src", Dir.Path() + "dst", false);
  EXPECT_EQ(ReadBytes(Dir.Path() + "dst"), Data);
}

TEST(CopyFile, OntoItselfLeavesTheFileIntact) {
  TTempDir Dir;
  const TBytes Data = PseudoRandomBytes(1000, 4);
  WriteBytes(Dir.Path() + "src", Data);
  CopyFileA(Dir.Path() + "src", Dir.Path() + "./src", false);
  EXPECT_EQ(ReadBytes(Dir.Path() + "src"), Data);
}

TEST(CopyFile, FailuresRaiseThePlatformsErrors) {
  TTempDir Dir;
  EXPECT_THROW(CopyFileA(Dir.Path() + "missing.jpg", Dir.Path() + "dst", false), EFOpenError);
  EXPECT_FALSE(FileExists(Dir.Path() + "dst"));  // nothing made for a missing source
  ForceDirectories(Dir.Path() + "d");
  EXPECT_THROW(CopyFileA(Dir.Path() + "d", Dir.Path() + "dst", false), EFOpenError);
  WriteBytes(Dir.Path() + "src", {1, 2});
  EXPECT_THROW(CopyFileA(Dir.Path() + "src", Dir.Path() + "no/dst", false), EFCreateError);
  WriteBytes(Dir.Path() + "dst", {3});
  EXPECT_THROW(CopyFileA(Dir.Path() + "src", Dir.Path() + "dst", true), EFCreateError);
  EXPECT_EQ(ReadBytes(Dir.Path() + "dst"), TBytes{3});
  EXPECT_THROW(CopyFileA(Dir.Path() + "src", "/dev/full", false), EWriteError);
}

TEST(CopyFile, AnUnreadableSourceIsAnOpenError) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  TTempDir Dir;
  WriteBytes(Dir.Path() + "src", {1});
  ::chmod((Dir.Path() + "src").c_str(), 0);
  EXPECT_THROW(CopyFileA(Dir.Path() + "src", Dir.Path() + "dst", false), EFOpenError);
}

TEST(Files, RenameReplacesAndFailsWithBothNames) {
  TTempDir Dir;
  WriteBytes(Dir.Path() + "a", {1});
  WriteBytes(Dir.Path() + "b", {2});
  RenameFile(Dir.Path() + "a", Dir.Path() + "b");
  EXPECT_EQ(ReadBytes(Dir.Path() + "b"), TBytes{1});
  try {
    RenameFile(Dir.Path() + "a", Dir.Path() + "c");
    FAIL();
  } catch (const EOSError& E) {
    EXPECT_NE(E.Message().find(Dir.Path() + "a"), std::string::npos);
    EXPECT_NE(E.Message().find(Dir.Path() + "c"), std::string::npos);
  }
}

TEST(Files, ApplicationExeNameIsThisProgram) {
  EXPECT_EQ(ExtractFileName(ApplicationExeName()), "platform_tests");
}
}  // namespace
