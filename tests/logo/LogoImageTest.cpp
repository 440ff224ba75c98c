#include "Capacity.h"
#include "Classes.h"
#include "Exceptions.h"
#include "LogoImage.h"
#include "SysUtils.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
// A base logo image made here: random bytes with "OGOL" images at 0, 131072 and 196608, as
// the real one has, so that what survives can be seen.
class TBytesStream : public TCustomMemoryStream {
public:
  explicit TBytesStream(TBytes Bytes) { FData = std::move(Bytes); }
};

TBytes SyntheticBase() {
  TBytes B = PseudoRandomBytes(262144, 77);
  for (const std::size_t At : {std::size_t{0}, std::size_t{131072}, std::size_t{196608}})
    std::copy_n("OGOL", 4, B.begin() + static_cast<std::ptrdiff_t>(At));
  return B;
}

struct TLayoutCase {
  bool Auto, Rb256, Rb160;
  std::int64_t L;
  const char* Label;
  std::size_t TailFrom;  // first byte kept from the base image
};

class LogoImageLayout : public testing::TestWithParam<TLayoutCase> {};

TEST_P(LogoImageLayout, HeaderFrameFillAndUntouchedTail) {
  const TLayoutCase& C = GetParam();
  const TCapacityChoice Choice = ChooseCapacity(C.Auto, C.Rb256, C.Rb160, C.L);
  ASSERT_TRUE(Choice.Accepted);
  ASSERT_EQ(Choice.Capacity.Label, C.Label);

  TTempDir Dir;
  ForceDirectories(Dir.Path() + "temp");
  const TBytes Base = SyntheticBase();
  const TBytes Frame = PseudoRandomBytes(static_cast<std::size_t>(C.L), 5);
  WriteBytes(Dir.Path() + "temp/frame.gz", Frame);
  WriteBytes(LogoImagePath(Dir.Path()), TBytes(300000, 0x11));  // an older, longer image
  {
    TBytesStream BaseStream(Base);
    BaseStream.SetPosition(1000);  // read from its start all the same
    TFileStream Compressed(Dir.Path() + "temp/frame.gz", fmOpenRead | fmShareExclusive);
    Compressed.Seek(0, soEnd);
    WriteLogoImage(BaseStream, Compressed, Choice.Capacity, LogoImagePath(Dir.Path()));
  }
  const TBytes Image = ReadBytes(Dir.Path() + "temp/logo_new.img");
  ASSERT_EQ(Image.size(), 262144u);
  EXPECT_EQ(TBytes(Image.begin(), Image.begin() + 4), (TBytes{0x4F, 0x47, 0x4F, 0x4C}));
  const auto L = static_cast<std::uint32_t>(C.L);
  EXPECT_EQ(TBytes(Image.begin() + 4, Image.begin() + 8),
            (TBytes{static_cast<std::uint8_t>(L), static_cast<std::uint8_t>(L >> 8),
                    static_cast<std::uint8_t>(L >> 16), static_cast<std::uint8_t>(L >> 24)}));
  EXPECT_TRUE(std::equal(Frame.begin(), Frame.end(), Image.begin() + 8));
  const auto FillBegin = Image.begin() + 8 + static_cast<std::ptrdiff_t>(C.L);
  const auto FillEnd = Image.begin() + static_cast<std::ptrdiff_t>(C.TailFrom);
  EXPECT_GT(FillEnd - FillBegin, 0);
  EXPECT_EQ(std::count(FillBegin, FillEnd, 0xFF), FillEnd - FillBegin);
  EXPECT_TRUE(std::equal(FillEnd, Image.end(), Base.begin() + static_cast<std::ptrdiff_t>(C.TailFrom)));
}

INSTANTIATE_TEST_SUITE_P(Capacities, LogoImageLayout,
                         testing::Values(TLayoutCase{true, false, false, 12000, "128K", 131072},
                                         TLayoutCase{false, true, false, 12000, "128K", 131072},
                                         TLayoutCase{false, false, true, 150000, "160K", 163839},
                                         TLayoutCase{false, false, true, 163830, "160K", 163839},
                                         TLayoutCase{true, false, false, 131064, "160K", 163839},
                                         TLayoutCase{true, false, false, 200000, "256K", 262144},
                                         TLayoutCase{false, true, false, 262135, "256K", 262144},
                                         TLayoutCase{false, false, false, 1, "128K", 131072}));

TEST(LogoImage, TwelveThousandBytesGiveE02E0000) {
  TTempDir Dir;
  WriteBytes(Dir.Path() + "f.gz", TBytes(12000, 0x1F));
  TBytesStream Base(SyntheticBase());
  TFileStream Frame(Dir.Path() + "f.gz", fmOpenRead);
  WriteLogoImage(Base, Frame, kCapacity128K, Dir.Path() + "logo_new.img");
  const TBytes Image = ReadBytes(Dir.Path() + "logo_new.img");
  EXPECT_EQ(TBytes(Image.begin() + 4, Image.begin() + 8), (TBytes{0xE0, 0x2E, 0x00, 0x00}));
  EXPECT_EQ(Image[12007], 0x1F);
  EXPECT_EQ(Image[12008], 0xFF);
  EXPECT_EQ(Image[131071], 0xFF);
  EXPECT_EQ(TBytes(Image.begin() + 131072, Image.begin() + 131076), (TBytes{'O', 'G', 'O', 'L'}));
}

TEST(LogoImage, EveryWriteIsChecked) {
  TTempDir Dir;
  WriteBytes(Dir.Path() + "f.gz", TBytes(5000, 1));
  TBytesStream Base(SyntheticBase());
  TFileStream Frame(Dir.Path() + "f.gz", fmOpenRead);
  const int Before = OpenDescriptorCount();
  try {
    WriteLogoImage(Base, Frame, kCapacity128K, "/dev/full");
    FAIL() << "no error";
  } catch (const EWriteError& E) {
    EXPECT_EQ(E.Message(), "Stream write error");
  }
  EXPECT_EQ(OpenDescriptorCount(), Before);
  EXPECT_THROW(WriteLogoImage(Base, Frame, kCapacity128K, Dir.Path() + "no/logo_new.img"), EFCreateError);
}

TEST(LogoImage, ABaseImageOfAnotherSizeOrAFrameThatDoesNotFitWritesNothing) {
  TTempDir Dir;
  const std::string Out = Dir.Path() + "logo_new.img";
  WriteBytes(Dir.Path() + "f.gz", TBytes(131064, 1));
  TFileStream Frame(Dir.Path() + "f.gz", fmOpenRead);
  TBytesStream Short(TBytes(262143, 0));
  EXPECT_THROW(WriteLogoImage(Short, Frame, kCapacity256K, Out), EStreamError);
  TBytesStream Base(SyntheticBase());
  EXPECT_THROW(WriteLogoImage(Base, Frame, kCapacity128K, Out), EStreamError);  // L = limit: no room
  EXPECT_FALSE(FileExists(Out));
}
}  // namespace
