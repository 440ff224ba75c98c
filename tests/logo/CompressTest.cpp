#include "BmpMaker.h"
#include "Capacity.h"
#include "Compress.h"
#include "Exceptions.h"
#include "LogoImage.h"
#include "PictureIntake.h"
#include "Rgb565.h"
#include "SysUtils.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {
using namespace std::chrono_literals;

bool Has(const std::string& S, const std::string& Part) { return S.find(Part) != std::string::npos; }

// The real gzip's verdict on a file.
bool GzipTestPasses(const std::string& File) {
  const int Status = std::system(("gzip -t '" + File + "' 2>/dev/null").c_str());
  return WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
}

TBytes Gunzip(const std::string& File, const std::string& Out) {
  const int Status = std::system(("gzip -dc '" + File + "' > '" + Out + "'").c_str());
  EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0);
  return ReadBytes(Out);
}

// A program directory whose path holds a space, with its working directory and a raw frame.
class GzipStep : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(ForceDirectories(Base + "temp"));
    WriteBytes(Raw, Frame);
  }
  void InstallRealGzip() {
    CopyFileA("/usr/bin/gzip", Base + "temp/gzip.exe", false);
    ::chmod((Base + "temp/gzip.exe").c_str(), 0755);
  }
  void LeaveStaleFrame() { WriteBytes(Raw + ".gz", TBytes(100, 0x55)); }

  TTempDir Dir;
  const std::string Base = Dir.Path() + "prog dir/";
  const std::string Raw = Base + "temp/tempYuanTu.bmp";
  const TBytes Frame = PseudoRandomBytes(30000, 8);
};

TEST_F(GzipStep, TheRealGzipGivesOneMemberOfTheRawFrameHeldExclusively) {
  InstallRealGzip();
  LeaveStaleFrame();
  {
    const std::unique_ptr<TFileStream> Compressed = CompressFrame(Base, Raw);
    EXPECT_EQ(Compressed->FileName(), Raw + ".gz");
    EXPECT_GT(Compressed->Size(), 30000);  // random bytes do not shrink; not the stale 100
    EXPECT_THROW(TFileStream(Raw + ".gz", fmOpenRead | fmShareExclusive), EFOpenError);
  }
  EXPECT_TRUE(GzipTestPasses(Raw + ".gz"));
  EXPECT_EQ(Gunzip(Raw + ".gz", Dir.Path() + "out"), Frame);
  EXPECT_EQ(ReadBytes(Raw), Frame);  // -k keeps the raw frame
}

TEST_F(GzipStep, RelativePathsResolveAgainstTheProgramDirectory) {
  InstallRealGzip();
  const std::string Old = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(Base));
  std::int64_t Size = 0;
  try {
    Size = CompressFrame("./", "./temp/tempYuanTu.bmp")->Size();
  } catch (...) {
    SetCurrentDir(Old);
    throw;
  }
  SetCurrentDir(Old);
  EXPECT_GT(Size, 0);
  EXPECT_TRUE(GzipTestPasses(Raw + ".gz"));
}

struct TBadGzip {
  const char* Name;
  const char* Script;  // nullptr: no gzip.exe at all
  bool RemoveRaw;
  const char* Expected[2];
};

class GzipFailure : public GzipStep, public testing::WithParamInterface<TBadGzip> {};

// A clear error, and never a compressed frame of an earlier run in its place.
TEST_P(GzipFailure, EndsWithAClearErrorAndNoStaleFrame) {
  const TBadGzip& C = GetParam();
  if (C.Script)
    WriteScript(Base + "temp/gzip.exe", C.Script);
  else if (C.RemoveRaw)
    InstallRealGzip();
  if (C.RemoveRaw) DeleteFile(Raw);
  LeaveStaleFrame();
  std::string Message;
  try {
    CompressFrame(Base, Raw, 5s);
    Message = "(no error)";
  } catch (const Exception& E) {
    Message = E.Message();
  }
  for (const char* Part : C.Expected)
    if (Part) {
      EXPECT_TRUE(Has(Message, Part)) << Message;
    }
  EXPECT_FALSE(FileExists(Raw + ".gz"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GzipFailure,
    testing::Values(TBadGzip{"Missing", nullptr, false, {"gzip.exe", "无法启动"}},
                    TBadGzip{"Failing", "#!/bin/sh\necho 'gzip: disk trouble' >&2\nexit 1\n", false,
                             {"退出码 1", "disk trouble"}},
                    TBadGzip{"Killed", "#!/bin/sh\nkill -9 $$\n", false, {"gzip.exe", "信号"}},
                    TBadGzip{"NoOutput", "#!/bin/sh\nexit 0\n", false,
                             {"Cannot open file \"", "temp/tempYuanTu.bmp.gz\". No such file or directory"}},
                    TBadGzip{"UnreadableFrame", nullptr, true, {"gzip.exe", "退出码 1"}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(GzipStep, AStaleFrameThatCannotBeDeletedStopsTheStep) {
  InstallRealGzip();
  ForceDirectories(Raw + ".gz/full");  // a directory in its place cannot be unlinked
  EXPECT_THROW(CompressFrame(Base, Raw), EOSError);
}

// The run from the picture to the logo image with the real gzip: pictures whose top rows are
// noise, as many as make the compressed frame need each capacity.
struct TRunCase {
  int NoisyRows;
  bool Accepted;
  const char* Label;
};

class RunSoFar : public GzipStep, public testing::WithParamInterface<TRunCase> {};

TEST_P(RunSoFar, EndsWithTheRightCapacityOrTheRefusal) {
  InstallRealGzip();
  TBytes Bmp = MakeBmp(MakeSolid(320, 480, {0, 0, 0}), TBmpKind::Bits24);
  const TBytes Noise = PseudoRandomBytes(static_cast<std::size_t>(GetParam().NoisyRows) * 960, 21);
  // Rows are stored bottom-up: the top rows are the last ones in the file.
  std::copy(Noise.begin(), Noise.end(), Bmp.end() - static_cast<std::ptrdiff_t>(Noise.size()));
  const std::string Picture = Base + "temp/YuanTu.bmp";
  WriteBytes(Picture, Bmp);

  TBitmap Source, Work;
  TRowBuffer RowBuffer{};
  std::uint8_t* ScanPtr = nullptr;
  std::uint16_t* RowPtr = nullptr;
  ASSERT_EQ(PictureKindOf(Picture), TPictureKind::Bmp);
  Source.LoadFromFile(Picture);
  DrawIntoWorkBitmap(Work, Source);
  SaveRgb565(Work, Raw, RowBuffer, ScanPtr, RowPtr);

  std::unique_ptr<TFileStream> Compressed = CompressFrame(Base, Raw);
  const std::int64_t L = Compressed->Size();
  const TCapacityChoice Choice = ChooseCapacity(true, false, false, L);
  ASSERT_EQ(Choice.Accepted, GetParam().Accepted) << L;
  EXPECT_EQ(Choice.Capacity.Label, GetParam().Label) << L;
  if (!Choice.Accepted) {
    EXPECT_EQ(TooLargeMessage(Choice.Capacity.PayloadLimit, L),
              "文件太大了，压缩后需要小于262136\r现尺寸为" + std::to_string(L));
    return;
  }
  class TBase : public TCustomMemoryStream {
  public:
    TBase() { FData = PseudoRandomBytes(262144, 3); }
  } BaseImage;
  WriteLogoImage(BaseImage, *Compressed, Choice.Capacity, LogoImagePath(Base));
  Compressed.reset();

  const TBytes Image = ReadBytes(LogoImagePath(Base));
  ASSERT_EQ(Image.size(), 262144u);
  WriteBytes(Dir.Path() + "member.gz", TBytes(Image.begin() + 8, Image.begin() + 8 + L));
  EXPECT_TRUE(GzipTestPasses(Dir.Path() + "member.gz"));
  EXPECT_EQ(Gunzip(Dir.Path() + "member.gz", Dir.Path() + "frame"), ReadBytes(Raw));
}

INSTANTIATE_TEST_SUITE_P(Capacities, RunSoFar,
                         testing::Values(TRunCase{100, true, "128K"}, TRunCase{230, true, "160K"},
                                         TRunCase{330, true, "256K"}, TRunCase{480, false, "256K"}),
                         [](const auto& Info) { return std::to_string(Info.param.NoisyRows) + "NoisyRows"; });
}  // namespace
