#include "BmpMaker.h"
#include "Exceptions.h"
#include "Jpeg.h"
#include "JpegMaker.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <tuple>

#include <jpeglib.h>
#include <jerror.h>

namespace {
std::string Failure(TGraphic& G, const std::string& File) {
  try {
    G.LoadFromFile(File);
  } catch (const Exception& E) {
    return E.Message();
  }
  return "(no exception)";
}

std::string JpegError(int Code) { return "JPEG error #" + std::to_string(Code); }

// Rewrites the frame header's height and width (SOF0 or SOF2).
TBytes WithDeclaredSize(TBytes Jpeg, int Width, int Height) {
  for (std::size_t I = 0; I + 8 < Jpeg.size(); ++I)
    if (Jpeg[I] == 0xFF && (Jpeg[I + 1] == 0xC0 || Jpeg[I + 1] == 0xC2)) {
      Jpeg[I + 5] = static_cast<std::uint8_t>(Height >> 8);
      Jpeg[I + 6] = static_cast<std::uint8_t>(Height);
      Jpeg[I + 7] = static_cast<std::uint8_t>(Width >> 8);
      Jpeg[I + 8] = static_cast<std::uint8_t>(Width);
      return Jpeg;
    }
  ADD_FAILURE() << "no frame header";
  return Jpeg;
}

TBytes SampleJpeg(TJpegKind Kind, int W = 64, int H = 48) {
  return EncodeJpeg(W, H, PhotoLikeRgb(W, H, 5), Kind);
}

class JpegKinds : public testing::TestWithParam<std::tuple<TJpegKind, std::pair<int, int>>> {};

TEST_P(JpegKinds, DecodesAsLibjpegsDefaultsDoAndDrawsAsBlueGreenRed) {
  const auto& [Kind, Size] = GetParam();
  const auto [W, H] = Size;
  const TBytes File = SampleJpeg(Kind, W, H);
  const TDecoded Reference = ReferenceDecodeJpeg(File);
  TTempDir Dir;
  WriteBytes(Dir.Path() + "p.jpg", File);

  TJPEGImage Jpeg;
  Jpeg.LoadFromFile(Dir.Path() + "p.jpg");
  ASSERT_EQ(Jpeg.Width(), W);
  ASSERT_EQ(Jpeg.Height(), H);
  TBitmap Work;
  Work.SetHeight(H);
  Work.SetWidth(W);
  Work.SetPixelFormat(pf24bit);
  Work.Canvas()->Draw(0, 0, Jpeg);
  int Wrong = 0;
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) {
      const std::uint8_t* P = Work.ScanLine(Y) + X * 3;
      if (!(TRgb{P[2], P[1], P[0]} == Reference.At(X, Y)) && Wrong++ < 5)
        ADD_FAILURE() << "pixel (" << X << ", " << Y << ")";
    }
  EXPECT_EQ(Wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, JpegKinds,
                         testing::Combine(testing::Values(TJpegKind::Baseline, TJpegKind::Progressive,
                                                          TJpegKind::Grayscale),
                                          testing::Values(std::pair{320, 480}, std::pair{17, 9})));

TEST(Jpeg, ATruncatedFileIsAnError) {
  TTempDir Dir;
  for (const TJpegKind Kind : {TJpegKind::Baseline, TJpegKind::Progressive}) {
    const TBytes Whole = SampleJpeg(Kind, 320, 480);
    for (const std::size_t Keep : {Whole.size() / 2, Whole.size() - 2}) {  // half; all but the end marker
      WriteBytes(Dir.Path() + "cut.jpg", TBytes(Whole.begin(), Whole.begin() + static_cast<std::ptrdiff_t>(Keep)));
      TJPEGImage J;
      EXPECT_EQ(Failure(J, Dir.Path() + "cut.jpg"), JpegError(JWRN_JPEG_EOF)) << Keep;
      EXPECT_TRUE(J.Empty());
    }
  }
}

TEST(Jpeg, FilesThatAreNoJpegGiveLibjpegsMessageNumber) {
  TTempDir Dir;
  TJPEGImage J;
  WriteBytes(Dir.Path() + "a.jpg", MakeBmp(MakeSolid(4, 4, {1, 2, 3}), TBmpKind::Bits24));
  EXPECT_EQ(Failure(J, Dir.Path() + "a.jpg"), JpegError(JERR_NO_SOI));
  WriteBytes(Dir.Path() + "a.jpg", {});
  EXPECT_EQ(Failure(J, Dir.Path() + "a.jpg"), JpegError(JERR_INPUT_EMPTY));
  WriteBytes(Dir.Path() + "a.jpg", WithDeclaredSize(SampleJpeg(TJpegKind::Baseline), 0, 48));
  EXPECT_EQ(Failure(J, Dir.Path() + "a.jpg"), JpegError(JERR_EMPTY_IMAGE));
  try {
    J.LoadFromFile(Dir.Path() + "a.jpg");
  } catch (const EInvalidGraphic& E) {  // what the window's error box shows for any picture
    EXPECT_EQ(dynamic_cast<const EJPEG&>(E).Code(), JERR_EMPTY_IMAGE);
  }
}

TEST(Jpeg, AHugeDeclaredSizeIsRefusedFromTheHeader) {
  TTempDir Dir;
  for (const TJpegKind Kind : {TJpegKind::Baseline, TJpegKind::Progressive}) {
    WriteBytes(Dir.Path() + "big.jpg", WithDeclaredSize(SampleJpeg(Kind), 60000, 60000));
    TJPEGImage J;
    EXPECT_EQ(Failure(J, Dir.Path() + "big.jpg"), "图片尺寸太大（宽 60000，高 60000），最大为 8196 × 8196");
  }
  WriteBytes(Dir.Path() + "wide.jpg", WithDeclaredSize(SampleJpeg(TJpegKind::Baseline), 8197, 48));
  TJPEGImage J;
  EXPECT_EQ(Failure(J, Dir.Path() + "wide.jpg"), "图片尺寸太大（宽 8197，高 48），最大为 8196 × 8196");
}

TEST(Jpeg, AFailedLoadLeavesNothingOpenAndTheNextLoadWorks) {
  TTempDir Dir;
  const TBytes Good = SampleJpeg(TJpegKind::Baseline);
  WriteBytes(Dir.Path() + "good.jpg", Good);
  WriteBytes(Dir.Path() + "cut.jpg", TBytes(Good.begin(), Good.begin() + 300));
  TJPEGImage J;
  J.LoadFromFile(Dir.Path() + "good.jpg");
  const int Before = OpenDescriptorCount();
  EXPECT_THROW(J.LoadFromFile(Dir.Path() + "cut.jpg"), EJPEG);
  EXPECT_EQ(OpenDescriptorCount(), Before);
  EXPECT_EQ(J.Width(), 64);  // the previous picture stays
  J.LoadFromFile(Dir.Path() + "good.jpg");
  EXPECT_EQ(J.Height(), 48);
}

TEST(Jpeg, AMissingFileIsAnOpenError) {
  TTempDir Dir;
  TJPEGImage J;
  EXPECT_EQ(Failure(J, Dir.Path() + "missing.jpg"),
            "Cannot open file \"" + Dir.Path() + "missing.jpg\". No such file or directory");
}
}  // namespace

namespace {
// Adobe CMYK pictures have no RGB output in libjpeg; they are turned into RGB here.
TEST(Jpeg, CmykPicturesArriveInTheirColours) {
  TTempDir Dir;
  const TRgb Colours[] = {{255, 255, 255}, {255, 0, 0}, {0, 0, 255}, {40, 160, 90}};
  for (const TRgb C : Colours) {
    WriteBytes(Dir.Path() + "cmyk.jpg", EncodeJpeg(16, 16, RgbOf(MakeSolid(16, 16, C)), TJpegKind::Cmyk));
    TJPEGImage J;
    J.LoadFromFile(Dir.Path() + "cmyk.jpg");
    const QRgb P = J.Image().pixel(8, 8);
    EXPECT_NEAR(qRed(P), C.R, 3);
    EXPECT_NEAR(qGreen(P), C.G, 3);
    EXPECT_NEAR(qBlue(P), C.B, 3);
  }
}
}  // namespace
