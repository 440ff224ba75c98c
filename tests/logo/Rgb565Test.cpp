#include "BmpMaker.h"
#include "Exceptions.h"
#include "Jpeg.h"
#include "JpegMaker.h"
#include "PictureIntake.h"
#include "Rgb565.h"
#include "SysUtils.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {
// The window's state for the frame writer.
struct TWindowState {
  TBitmap SourceBitmap, WorkBitmap;
  TJPEGImage Jpeg;
  TRowBuffer RowBuffer{};
  std::uint8_t* ScanPtr = nullptr;
  std::uint16_t* RowPtr = nullptr;

  // The intake and the frame, as a run does them.
  void Intake(const std::string& Picture, const std::string& Frame) {
    switch (PictureKindOf(Picture)) {
      case TPictureKind::Bmp:
        SourceBitmap.LoadFromFile(Picture);
        DrawIntoWorkBitmap(WorkBitmap, SourceBitmap);
        break;
      case TPictureKind::Jpeg:
        Jpeg.LoadFromFile(Picture);
        DrawIntoWorkBitmap(WorkBitmap, Jpeg);
        break;
      case TPictureKind::Refused: FAIL() << Picture;
    }
    SaveRgb565(WorkBitmap, Frame, RowBuffer, ScanPtr, RowPtr);
  }
};

template <typename Pixels>
TBytes ExpectedFrame(int W, int H, const Pixels& P) {
  TBytes R;
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) {
      const std::uint16_t Word = ReferenceRgb565(P.At(X, Y));
      R.push_back(static_cast<std::uint8_t>(Word & 0xFF));
      R.push_back(static_cast<std::uint8_t>(Word >> 8));
    }
  return R;
}

struct TFormat {
  const char* Name;
  bool IsJpeg;
  TBmpKind Bmp;
  std::size_t Colours;
  TJpegKind Jpeg;
};

const TFormat kFormats[] = {
    {"Bmp24", false, TBmpKind::Bits24, 256, {}},       {"Bmp32", false, TBmpKind::Bits32, 256, {}},
    {"Bmp8", false, TBmpKind::Bits8, 256, {}},         {"Bmp4", false, TBmpKind::Bits4, 16, {}},
    {"Bmp1", false, TBmpKind::Bits1, 2, {}},           {"Bmp24TopDown", false, TBmpKind::Bits24TopDown, 256, {}},
    {"Rle8", false, TBmpKind::Rle8, 256, {}},          {"JpegBaseline", true, {}, 0, TJpegKind::Baseline},
    {"JpegProgressive", true, {}, 0, TJpegKind::Progressive}, {"JpegGray", true, {}, 0, TJpegKind::Grayscale},
};

class FrameTest : public testing::TestWithParam<std::tuple<TFormat, std::pair<int, int>>> {};

// Every word of the raw frame against an RGB565 computation of the decoded pixels made apart
// from the program: the known colours of a BMP, an independent libjpeg decode of a JPEG.
TEST_P(FrameTest, EveryWordMatchesAnIndependentComputation) {
  const auto& [Format, Size] = GetParam();
  const auto [W, H] = Size;
  TTempDir Dir;
  TBytes Expected;
  std::string Picture;
  if (Format.IsJpeg) {
    const TBytes File = EncodeJpeg(W, H, PhotoLikeRgb(W, H, 3), Format.Jpeg);
    Picture = Dir.Path() + "YuanTu.JPG";
    WriteBytes(Picture, File);
    Expected = ExpectedFrame(W, H, ReferenceDecodeJpeg(File));
  } else {
    const TTestPicture P = MakePattern(W, H, Format.Colours, 5);
    Picture = Dir.Path() + "YuanTu.bmp";
    WriteBytes(Picture, MakeBmp(P, Format.Bmp));
    Expected = ExpectedFrame(W, H, P);
  }
  TWindowState Window;
  Window.Intake(Picture, Dir.Path() + "tempYuanTu.raw");
  const TBytes Frame = ReadBytes(Dir.Path() + "tempYuanTu.raw");
  ASSERT_EQ(Frame.size(), static_cast<std::size_t>(W) * H * 2);  // rows never padded
  std::size_t Wrong = 0;
  for (std::size_t I = 0; I < Frame.size(); ++I)
    if (Frame[I] != Expected[I] && Wrong++ < 5) ADD_FAILURE() << "byte " << I << " (pixel " << I / 2 << ")";
  EXPECT_EQ(Wrong, 0u);
  EXPECT_EQ(Window.WorkBitmap.PixelFormat(), pf24bit);
  EXPECT_EQ(SizeWarningDue(W, H), !(W == 320 && H == 480));
}

INSTANTIATE_TEST_SUITE_P(Pictures, FrameTest,
                         testing::Combine(testing::ValuesIn(kFormats),
                                          testing::Values(std::pair{320, 480}, std::pair{480, 320},
                                                          std::pair{321, 480}, std::pair{320, 481})),
                         [](const auto& Info) {
                           return std::string(std::get<0>(Info.param).Name) + "_" +
                                  std::to_string(std::get<1>(Info.param).first) + "x" +
                                  std::to_string(std::get<1>(Info.param).second);
                         });

struct TPixelCase {
  TRgb Colour;
  std::uint8_t Low, High;
};

class PixelTest : public testing::TestWithParam<TPixelCase> {};

// The top left pixel gives the frame's first two bytes: row 0 is the top row of the picture,
// though a BMP stores it last.
TEST_P(PixelTest, TheTopLeftPixelGivesTheFirstWord) {
  TTestPicture P = MakeSolid(3, 2, {10, 200, 30});
  P.Palette.push_back(GetParam().Colour);
  P.Index[0] = 1;
  TTempDir Dir;
  WriteBytes(Dir.Path() + "p.bmp", MakeBmp(P, TBmpKind::Bits24));
  TWindowState Window;
  Window.Intake(Dir.Path() + "p.bmp", Dir.Path() + "frame");
  const TBytes Frame = ReadBytes(Dir.Path() + "frame");
  ASSERT_EQ(Frame.size(), 12u);
  EXPECT_EQ(Frame[0], GetParam().Low);
  EXPECT_EQ(Frame[1], GetParam().High);
}

INSTANTIATE_TEST_SUITE_P(Examples, PixelTest,
                         testing::Values(TPixelCase{{255, 255, 255}, 0xFF, 0xFF}, TPixelCase{{255, 0, 0}, 0x00, 0xF8},
                                         TPixelCase{{0, 255, 0}, 0xE0, 0x07}, TPixelCase{{0, 0, 255}, 0x1F, 0x00},
                                         TPixelCase{{128, 128, 128}, 0x10, 0x84}, TPixelCase{{7, 3, 7}, 0x00, 0x00},
                                         // the low 3, 2, 3 bits are dropped, not rounded
                                         TPixelCase{{0x87, 0x83, 0x87}, 0x10, 0x84},
                                         TPixelCase{{0x12, 0x34, 0x56}, 0xAA, 0x11}));

TEST(SaveRgb565, TheWindowsCursorsEndAfterTheLastPixel) {
  TTempDir Dir;
  WriteBytes(Dir.Path() + "p.bmp", MakeBmp(MakePattern(7, 5, 16, 1), TBmpKind::Bits4));
  TWindowState Window;
  Window.Intake(Dir.Path() + "p.bmp", Dir.Path() + "frame");
  EXPECT_EQ(Window.RowPtr, Window.RowBuffer.data() + 7);
  EXPECT_EQ(Window.ScanPtr, Window.WorkBitmap.ScanLine(4) + 7 * 3);
}

TEST(SaveRgb565, ReplacesAnOlderFrameWhole) {
  TTempDir Dir;
  WriteBytes(Dir.Path() + "frame", TBytes(500000, 0xAB));
  WriteBytes(Dir.Path() + "p.bmp", MakeBmp(MakeSolid(4, 4, {255, 255, 255}), TBmpKind::Bits24));
  TWindowState Window;
  Window.Intake(Dir.Path() + "p.bmp", Dir.Path() + "frame");
  EXPECT_EQ(ReadBytes(Dir.Path() + "frame"), TBytes(32, 0xFF));
}

TEST(SaveRgb565, AFullDiskIsAStreamWriteErrorAndNothingStaysOpen) {
  TTempDir Dir;
  WriteBytes(Dir.Path() + "p.bmp", MakeBmp(MakeSolid(320, 480, {1, 2, 3}), TBmpKind::Bits24));
  TWindowState Window;
  Window.SourceBitmap.LoadFromFile(Dir.Path() + "p.bmp");
  DrawIntoWorkBitmap(Window.WorkBitmap, Window.SourceBitmap);
  const int Before = OpenDescriptorCount();
  try {
    SaveRgb565(Window.WorkBitmap, "/dev/full", Window.RowBuffer, Window.ScanPtr, Window.RowPtr);
    FAIL() << "no error";
  } catch (const EWriteError& E) {
    EXPECT_EQ(E.Message(), "Stream write error");
  }
  EXPECT_EQ(OpenDescriptorCount(), Before);
}

TEST(SaveRgb565, AFrameThatCannotBeCreatedNamesItsPath) {
  TTempDir Dir;
  WriteBytes(Dir.Path() + "p.bmp", MakeBmp(MakeSolid(2, 2, {1, 2, 3}), TBmpKind::Bits24));
  TWindowState Window;
  Window.SourceBitmap.LoadFromFile(Dir.Path() + "p.bmp");
  DrawIntoWorkBitmap(Window.WorkBitmap, Window.SourceBitmap);
  try {
    SaveRgb565(Window.WorkBitmap, Dir.Path() + "gone/tempYuanTu.bmp", Window.RowBuffer, Window.ScanPtr,
               Window.RowPtr);
    FAIL() << "no error";
  } catch (const EFCreateError& E) {
    EXPECT_EQ(E.Message(),
              "Cannot create file \"" + Dir.Path() + "gone/tempYuanTu.bmp\". No such file or directory");
  }
}

// A picture object that cannot read its file raises the platform's error; the window's state
// is not spoilt, and the next run goes through.
TEST(Intake, AFailedPictureLeavesTheNextRunWorking) {
  TTempDir Dir;
  const TBytes Jpeg = EncodeJpeg(320, 480, PhotoLikeRgb(320, 480, 1), TJpegKind::Baseline);
  WriteBytes(Dir.Path() + "YuanTu.bmp", Jpeg);
  WriteBytes(Dir.Path() + "cut.jpg", TBytes(Jpeg.begin(), Jpeg.begin() + 4000));
  WriteBytes(Dir.Path() + "good.jpg", Jpeg);
  TWindowState Window;
  try {
    Window.Intake(Dir.Path() + "YuanTu.bmp", Dir.Path() + "frame");
    FAIL();
  } catch (const EInvalidGraphic& E) {
    EXPECT_EQ(E.Message(), "Bitmap image is not valid");
  }
  EXPECT_THROW(Window.Intake(Dir.Path() + "cut.jpg", Dir.Path() + "frame"), EJPEG);
  EXPECT_FALSE(FileExists(Dir.Path() + "frame"));
  Window.Intake(Dir.Path() + "good.jpg", Dir.Path() + "frame");
  EXPECT_EQ(ReadBytes(Dir.Path() + "frame"), ExpectedFrame(320, 480, ReferenceDecodeJpeg(Jpeg)));
}
}  // namespace
