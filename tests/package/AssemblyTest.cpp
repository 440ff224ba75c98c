#include "Assembly.h"
#include "Classes.h"
#include "Exceptions.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <QFile>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {
std::string ReadAll(const fs::path& P) {
  std::ifstream In(P, std::ios::binary);
  return {std::istreambuf_iterator<char>(In), {}};
}

void WriteAll(const fs::path& P, const std::string& Bytes) {
  std::ofstream Out(P, std::ios::binary | std::ios::trunc);
  Out << Bytes;
}

std::string Pattern(std::size_t N, unsigned Seed) {
  std::string S(N, '\0');
  for (std::size_t I = 0; I < N; ++I) S[I] = static_cast<char>((I * 131 + Seed * 7 + I / 251) & 0xFF);
  return S;
}

std::string Resource(const char* Name) {
  QFile F(QString(":/FILE/") + Name);
  if (!F.open(QIODevice::ReadOnly)) return {};
  return F.readAll().toStdString();
}

int Shell(const std::string& Command) { return std::system(Command.c_str()); }

// A program directory with the working files of a run that reached the zip step.
class AssemblyTest : public testing::Test {
protected:
  void SetUp() override {
    Dir = fs::temp_directory_path() / ("u830-assembly-" + std::to_string(::getpid()) + "-" +
                                       testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir);
    fs::create_directories(Dir / "temp");
    Paths = std::make_unique<RunPaths>(Dir.string() + "/", "/pics/x.jpg");
    WriteAll(Paths->LogoImage, Pattern(262144, 1));
    WriteAll(Paths->PictureCopy, Pattern(5000, 2));
    WriteAll(Paths->VersionDescription, Pattern(248, 3));
    WriteAll(Paths->ReadmeCopy("128K"), Pattern(1200, 4));
  }
  void TearDown() override { fs::remove_all(Dir); }

  // The working package as zip -j would leave it, from the given files.
  void MakeWorkingPackage(const std::string& Files) {
    ASSERT_EQ(Shell("cd '" + (Dir / "temp").string() + "' && zip -qj tempSupk.zip " + Files), 0);
  }
  void MakeCompleteWorkingPackage() { MakeWorkingPackage("logo_new.img YuanTu.jpg version.xml 128K.txt"); }

  std::vector<std::string> FilesIn(const fs::path& D) {
    std::vector<std::string> Names;
    for (const auto& E : fs::directory_iterator(D)) Names.push_back(E.path().filename().string());
    std::sort(Names.begin(), Names.end());
    return Names;
  }

  fs::path Dir;
  std::unique_ptr<RunPaths> Paths;
};

TEST_F(AssemblyTest, PublishReplacesAnEarlierPackageWithTheCheckedOne) {
  MakeCompleteWorkingPackage();
  const std::string Target = Paths->UpdatePackage("X_128K.supk");
  WriteAll(Target, "an earlier package");
  PublishPackage(*Paths, Target, "128K");
  EXPECT_EQ(ReadAll(Target), ReadAll(Paths->WorkingPackage));
  EXPECT_EQ(Shell("unzip -tqq '" + Target + "'"), 0);
  EXPECT_EQ(FilesIn(Dir), (std::vector<std::string>{"X_128K.supk", "temp"}));
}

struct BrokenCase {
  const char* Name;
  const char* ZipFiles;   // what the working package holds
  const char* Mangle;     // shell command run in temp/ after zipping, or ""
  const char* Mentions;   // a part of the message
};
void PrintTo(const BrokenCase& C, std::ostream* Os) { *Os << C.Name; }


class BrokenPackageTest : public AssemblyTest, public testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenPackageTest, IsRefusedAndTheEarlierPackageStays) {
  const BrokenCase& C = GetParam();
  MakeWorkingPackage(C.ZipFiles);
  if (*C.Mangle) {
    ASSERT_EQ(Shell("cd '" + (Dir / "temp").string() + "' && " + C.Mangle), 0);
  }
  const std::string Target = Paths->UpdatePackage("X_128K.supk");
  WriteAll(Target, "an earlier package");
  try {
    PublishPackage(*Paths, Target, "128K");
    FAIL() << "a broken package was published";
  } catch (const Exception& E) {
    EXPECT_NE(E.Message().find(C.Mentions), std::string::npos) << E.Message();
  }
  EXPECT_EQ(ReadAll(Target), "an earlier package");
  EXPECT_EQ(FilesIn(Dir), (std::vector<std::string>{"X_128K.supk", "temp"})) << "a partial copy was left";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BrokenPackageTest,
    testing::Values(
        BrokenCase{"NoLogo", "YuanTu.jpg version.xml 128K.txt", "", "logo_new.img"},
        BrokenCase{"NoReadme", "logo_new.img YuanTu.jpg version.xml", "", "128K.txt"},
        BrokenCase{"NoPicture", "logo_new.img version.xml 128K.txt", "", "YuanTu.jpg"},
        BrokenCase{"NoVersion", "logo_new.img YuanTu.jpg 128K.txt", "", "version.xml"},
        // The logo image changed after zipping: the package holds another one.
        BrokenCase{"StaleLogo", "logo_new.img YuanTu.jpg version.xml 128K.txt",
                   "printf 'X' | dd of=logo_new.img bs=1 seek=100 conv=notrunc status=none", "logo_new.img"},
        BrokenCase{"ShortLogo", "logo_new.img YuanTu.jpg version.xml 128K.txt",
                   "head -c 1000 logo_new.img > short && mv short logo_new.img && zip -qj tempSupk.zip logo_new.img",
                   "logo_new.img"},
        BrokenCase{"Truncated", "logo_new.img YuanTu.jpg version.xml 128K.txt",
                   "head -c 3000 tempSupk.zip > t && mv t tempSupk.zip", "zip"},
        // A flipped byte in the deflated logo entry: its checksum no longer matches.
        BrokenCase{"CorruptEntry", "logo_new.img YuanTu.jpg version.xml 128K.txt",
                   "printf '\\377' | dd of=tempSupk.zip bs=1 seek=200 conv=notrunc status=none", "logo_new.img"}),
    [](const testing::TestParamInfo<BrokenCase>& I) { return I.param.Name; });

TEST_F(AssemblyTest, MissingWorkingPackageIsAnOpenError) {
  const std::string Target = Paths->UpdatePackage("X_128K.supk");
  EXPECT_THROW(PublishPackage(*Paths, Target, "128K"), EFOpenError);
  EXPECT_FALSE(fs::exists(Target));
}

TEST_F(AssemblyTest, CleanUpLeavesOnlyTheTwoPrograms) {
  WriteAll(Dir / "temp/gzip.exe", "g");
  WriteAll(Dir / "temp/zip.exe", "z");
  WriteAll(Paths->RawFrame, "raw");
  WriteAll(Paths->CompressedFrame, "gz");
  MakeCompleteWorkingPackage();
  DeleteWorkingFiles(*Paths, "128K");
  EXPECT_EQ(FilesIn(Dir / "temp"), (std::vector<std::string>{"gzip.exe", "zip.exe"}));
}

struct VersionCase {
  std::int64_t Limit;
  const char* Label;
  const char* Resource;
};
void PrintTo(const VersionCase& C, std::ostream* Os) { *Os << C.Label; }


class VersionTest : public AssemblyTest, public testing::WithParamInterface<VersionCase> {};

TEST_P(VersionTest, WritesTheCapacitysDescriptionAndTheReadme) {
  const VersionCase& C = GetParam();
  EXPECT_EQ(VersionDescriptionName(C.Limit), C.Resource);
  WriteAll(Paths->VersionDescription, std::string(1000, 'x'));  // a longer leftover
  WriteVersionAndReadme(*Paths, C.Limit, C.Label);
  const std::string Version = ReadAll(Paths->VersionDescription);
  EXPECT_EQ(Version.size(), 248u);
  EXPECT_EQ(Version, Resource(UpperCase(C.Resource).c_str()));
  EXPECT_EQ(ReadAll(Paths->ReadmeCopy(C.Label)), Resource("README"));
}

INSTANTIATE_TEST_SUITE_P(Capacities, VersionTest,
                         testing::Values(VersionCase{131064, "128K", "version128"},
                                         VersionCase{163831, "160K", "version160"},
                                         VersionCase{262136, "256K", "version256"}));

TEST_F(AssemblyTest, FailingZipEndsTheAssembly) {
  if (Resource("SUPK").empty()) GTEST_SKIP() << "the template package is not embedded in this build";
  WriteAll(Paths->ZipProgram, "#!/bin/sh\necho 'zip error: Interrupted (aborting)' >&2\nexit 9\n");
  SetExecutable(Paths->ZipProgram);
  SetCurrentDir(Dir.string());
  try {
    FillWorkingPackage(*Paths, "128K");
    FAIL() << "a failed zip went unnoticed";
  } catch (const EProgramError& E) {
    EXPECT_NE(E.Message().find("zip.exe"), std::string::npos) << E.Message();
    EXPECT_NE(E.Message().find("9"), std::string::npos) << E.Message();
    EXPECT_NE(E.Message().find("Interrupted"), std::string::npos) << E.Message();
  }
}

TEST_F(AssemblyTest, RealZipFillsTheTemplatePackage) {
  if (Resource("SUPK").empty()) GTEST_SKIP() << "the template package is not embedded in this build";
  WriteAll(Paths->ZipProgram, Resource("ZIP"));
  SetExecutable(Paths->ZipProgram);
  SetCurrentDir(Dir.string());
  FillWorkingPackage(*Paths, "128K");
  const std::string Target = Paths->UpdatePackage("X_128K.supk");
  PublishPackage(*Paths, Target, "128K");
  EXPECT_EQ(Shell("unzip -tqq '" + Target + "'"), 0);
  EXPECT_EQ(Shell("unzip -l '" + Target + "' | grep -q 'META-INF/com/google/android/update-binary'"), 0);
}
}  // namespace

namespace {
struct LookupCase {
  const char* Name;  // as the program spells it
  const char* Stored;
};

void PrintTo(const LookupCase& C, std::ostream* Os) { *Os << C.Name; }

class ResourceLookupTest : public testing::TestWithParam<LookupCase> {};

TEST_P(ResourceLookupTest, IgnoresTheCaseOfTheName) {
  const LookupCase& C = GetParam();
  TResourceStream Stream(C.Name, "file");
  const std::string Stored = Resource(C.Stored);
  ASSERT_FALSE(Stored.empty());
  EXPECT_EQ(Stream.Size(), static_cast<std::int64_t>(Stored.size()));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(Stream.Memory()), Stored.size()), Stored);
}

INSTANTIATE_TEST_SUITE_P(Names, ResourceLookupTest,
                         testing::Values(LookupCase{"Supk", "SUPK"}, LookupCase{"MengHu", "MENGHU"},
                                         LookupCase{"logo_new", "LOGO_NEW"}, LookupCase{"readme", "README"},
                                         LookupCase{"version160", "VERSION160"}, LookupCase{"gzip", "GZIP"}));

TEST(ResourceLookup, AMissingNameIsReportedAsSpelt) {
  for (const char* Name : {"NoSuchFile", "../FILE/SUPK", ""}) {
    try {
      TResourceStream Stream(Name, "file");
      FAIL() << Name << " was found";
    } catch (const EResNotFound& E) {
      EXPECT_EQ(E.Message(), std::string("Resource ") + Name + " not found");
    }
  }
  EXPECT_THROW(TResourceStream("Supk", "bitmap"), EResNotFound);
}
}  // namespace
