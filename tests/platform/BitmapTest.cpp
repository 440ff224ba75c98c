#include "BmpMaker.h"
#include "Exceptions.h"
#include "Graphics.h"
#include "JpegMaker.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {
std::string Failure(TGraphic& G, const std::string& File) {
  try {
    G.LoadFromFile(File);
  } catch (const Exception& E) {
    return E.Message();
  }
  return "(no exception)";
}

// The working bitmap's way: Height, Width, 24 bits, Draw.
void DrawInto(TBitmap& Work, const TGraphic& Source) {
  Work.SetHeight(Source.Height());
  Work.SetWidth(Source.Width());
  Work.SetPixelFormat(pf24bit);
  Work.Canvas()->Draw(0, 0, Source);
}

TRgb PixelAt(TBitmap& B, int X, int Y) {
  const std::uint8_t* P = B.ScanLine(Y) + X * 3;
  return {P[2], P[1], P[0]};
}

struct TDepth {
  TBmpKind Kind;
  std::size_t Colours;
  const char* Name;
};

class BitmapDepths : public testing::TestWithParam<std::tuple<TDepth, std::pair<int, int>>> {};

TEST_P(BitmapDepths, EveryPixelArrivesInTheWorkingBitmapAsBlueGreenRed) {
  const auto& [Depth, Size] = GetParam();
  const TTestPicture Picture = MakePattern(Size.first, Size.second, Depth.Colours, 11);
  TTempDir Dir;
  WriteBytes(Dir.Path() + "p.bmp", MakeBmp(Picture, Depth.Kind));

  TBitmap Source;
  Source.LoadFromFile(Dir.Path() + "p.bmp");
  ASSERT_EQ(Source.Width(), Picture.Width);
  ASSERT_EQ(Source.Height(), Picture.Height);
  TBitmap Work;
  DrawInto(Work, Source);
  ASSERT_EQ(Work.PixelFormat(), pf24bit);
  int Wrong = 0;
  for (int Y = 0; Y < Picture.Height; ++Y)
    for (int X = 0; X < Picture.Width; ++X)
      if (!(PixelAt(Work, X, Y) == Picture.At(X, Y)) && Wrong++ < 5)
        ADD_FAILURE() << "pixel (" << X << ", " << Y << ")";
  EXPECT_EQ(Wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Depths, BitmapDepths,
    testing::Combine(testing::Values(TDepth{TBmpKind::Bits1, 2, "Bits1"}, TDepth{TBmpKind::Bits4, 16, "Bits4"},
                                     TDepth{TBmpKind::Bits8, 256, "Bits8"}, TDepth{TBmpKind::Rle8, 256, "Rle8"},
                                     TDepth{TBmpKind::Bits24, 256, "Bits24"},
                                     TDepth{TBmpKind::Bits24TopDown, 256, "Bits24TopDown"},
                                     TDepth{TBmpKind::Bits32, 256, "Bits32"}),
                     // odd widths, so that rows are padded
                     testing::Values(std::pair{37, 23}, std::pair{1, 1}, std::pair{320, 480})),
    [](const auto& Info) {
      return std::string(std::get<0>(Info.param).Name) + "_" + std::to_string(std::get<1>(Info.param).first) + "x" +
             std::to_string(std::get<1>(Info.param).second);
    });

TEST(Bitmap, AJpegNamedBmpIsNotAValidBitmap) {
  TTempDir Dir;
  const TTestPicture P = MakePattern(16, 16, 8, 1);
  WriteBytes(Dir.Path() + "p.bmp", EncodeJpeg(16, 16, RgbOf(P), TJpegKind::Baseline));
  TBitmap B;
  EXPECT_EQ(Failure(B, Dir.Path() + "p.bmp"), "Bitmap image is not valid");
}

TEST(Bitmap, BrokenFilesAreNotValidBitmaps) {
  TTempDir Dir;
  TBytes Cut = MakeBmp(MakePattern(20, 20, 256, 2), TBmpKind::Bits8);
  Cut.resize(30);  // inside the info header
  const std::vector<TBytes> Files{{}, {'B', 'M'}, PseudoRandomBytes(5000, 9), Cut, MakeBmpHeader(0, 10),
                                  MakeBmpHeader(10, 0)};
  for (std::size_t I = 0; I < Files.size(); ++I) {
    WriteBytes(Dir.Path() + "x.bmp", Files[I]);
    TBitmap B;
    EXPECT_EQ(Failure(B, Dir.Path() + "x.bmp"), "Bitmap image is not valid") << "file " << I;
  }
}

// Refused from the header: under AddressSanitizer an attempt to allocate ~30 GB would abort.
TEST(Bitmap, AHugeDeclaredSizeIsRefusedBeforeDecoding) {
  TTempDir Dir;
  struct TCase {
    std::int32_t W, H;
    const char* Message;
  };
  for (const TCase& C : {TCase{100000, 100000, "图片尺寸太大（宽 100000，高 100000），最大为 8196 × 8196"},
                         TCase{100000, -100000, "图片尺寸太大（宽 100000，高 100000），最大为 8196 × 8196"},
                         TCase{8197, 1, "图片尺寸太大（宽 8197，高 1），最大为 8196 × 8196"},
                         TCase{1, 8197, "图片尺寸太大（宽 1，高 8197），最大为 8196 × 8196"}}) {
    WriteBytes(Dir.Path() + "big.bmp", MakeBmpHeader(C.W, C.H));
    TBitmap B;
    EXPECT_EQ(Failure(B, Dir.Path() + "big.bmp"), C.Message);
  }
}

TEST(Bitmap, AFailedLoadKeepsThePreviousPictureAndTheNextLoadWorks) {
  TTempDir Dir;
  WriteBytes(Dir.Path() + "good.bmp", MakeBmp(MakeSolid(3, 2, {1, 2, 3}), TBmpKind::Bits24));
  WriteBytes(Dir.Path() + "bad.bmp", PseudoRandomBytes(100, 1));
  WriteBytes(Dir.Path() + "other.bmp", MakeBmp(MakeSolid(5, 4, {9, 8, 7}), TBmpKind::Bits24));
  TBitmap B;
  B.LoadFromFile(Dir.Path() + "good.bmp");
  EXPECT_THROW(B.LoadFromFile(Dir.Path() + "bad.bmp"), EInvalidGraphic);
  EXPECT_EQ(B.Width(), 3);
  B.LoadFromFile(Dir.Path() + "other.bmp");
  EXPECT_EQ(B.Width(), 5);
  EXPECT_EQ(B.Height(), 4);
}

TEST(Bitmap, AMissingFileIsAnOpenError) {
  TTempDir Dir;
  TBitmap B;
  EXPECT_EQ(Failure(B, Dir.Path() + "missing.bmp"),
            "Cannot open file \"" + Dir.Path() + "missing.bmp\". No such file or directory");
}

TEST(Bitmap, ResizingKeepsWhatStaysInsideAndBlackensTheRest) {
  TBitmap B;
  B.SetHeight(2);
  EXPECT_TRUE(B.Empty());  // no width yet
  B.SetWidth(2);
  B.SetPixelFormat(pf24bit);
  std::uint8_t* Row = B.ScanLine(0);
  Row[0] = 10, Row[1] = 20, Row[2] = 30;
  B.SetWidth(3);
  B.SetHeight(3);
  EXPECT_EQ(PixelAt(B, 0, 0), (TRgb{30, 20, 10}));
  EXPECT_EQ(PixelAt(B, 2, 2), (TRgb{0, 0, 0}));
  EXPECT_THROW(B.ScanLine(3), EInvalidGraphic);
  EXPECT_THROW(B.ScanLine(-1), EInvalidGraphic);
  EXPECT_THROW(B.SetWidth(kMaxPictureSide + 1), EInvalidGraphic);
  EXPECT_THROW(B.SetHeight(-1), EInvalidGraphic);
  EXPECT_EQ(B.Width(), 3);
}

TEST(Bitmap, DrawIsClippedToTheTarget) {
  TTempDir Dir;
  WriteBytes(Dir.Path() + "red.bmp", MakeBmp(MakeSolid(4, 4, {255, 0, 0}), TBmpKind::Bits24));
  TBitmap Red;
  Red.LoadFromFile(Dir.Path() + "red.bmp");
  TBitmap Work;
  Work.SetHeight(3);
  Work.SetWidth(3);
  Work.SetPixelFormat(pf24bit);
  Work.Canvas()->Draw(2, -2, Red);
  EXPECT_EQ(PixelAt(Work, 2, 0), (TRgb{255, 0, 0}));
  EXPECT_EQ(PixelAt(Work, 2, 1), (TRgb{255, 0, 0}));
  EXPECT_EQ(PixelAt(Work, 2, 2), (TRgb{0, 0, 0}));
  EXPECT_EQ(PixelAt(Work, 1, 0), (TRgb{0, 0, 0}));
  Work.Canvas()->Draw(5, 5, Red);  // wholly outside: nothing happens
}
}  // namespace
