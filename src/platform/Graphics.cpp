#include "Graphics.h"

#include "Exceptions.h"
#include "SysUtils.h"

#include <QImageReader>

#include <algorithm>
#include <cstdlib>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {
const char kInvalidBitmap[] = "Bitmap image is not valid";

// Qt's own cap (128 MB by default) would refuse a picture that our side limit allows:
// 8196 × 8196 at 32 bits is about 269 MB.
constexpr int kReaderAllocationLimitMb = 300;

QImage::Format FormatOf(TPixelFormat Format) {
  return Format == pf24bit ? QImage::Format_BGR888 : QImage::Format_RGB32;
}

// The width and height a BMP file declares, read byte by byte from its info header (the
// 12-byte OS/2 form or the 40-byte and longer Windows forms); false when there is none.
// Qt's reader gives up silently on very large sizes; this lets us say why.
bool DeclaredBmpSize(const std::uint8_t* H, std::size_t N, long long& Width, long long& Height) {
  auto U16 = [H](std::size_t I) { return static_cast<std::uint32_t>(H[I] | (H[I + 1] << 8)); };
  auto U32 = [&](std::size_t I) { return U16(I) | (U16(I + 2) << 16); };
  if (N < 26 || H[0] != 'B' || H[1] != 'M') return false;
  const std::uint32_t InfoSize = U32(14);
  if (InfoSize == 12) {
    Width = U16(18);
    Height = U16(20);
  } else if (InfoSize >= 40) {
    Width = static_cast<std::int32_t>(U32(18));
    Height = static_cast<std::int32_t>(U32(22));
    if (Height < 0) Height = -Height;  // top-down rows
  } else {
    return false;
  }
  return true;
}

// Opens the file ourselves first: a missing or unreadable file gets the platform's open error
// with the system's reason, not a decoding error. A declared size over the limit is refused
// here, before Qt sees the file.
void CheckBmpFile(const std::string& FileName) {
  const int Fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (Fd < 0) throw EFOpenError(ExpandFileName(FileName), errno);
  std::uint8_t Header[26];
  std::size_t N = 0;
  while (N < sizeof Header) {
    const ssize_t R = ::read(Fd, Header + N, sizeof Header - N);
    if (R < 0 && errno == EINTR) continue;
    if (R <= 0) break;
    N += static_cast<std::size_t>(R);
  }
  ::close(Fd);
  long long Width = 0, Height = 0;
  if (DeclaredBmpSize(Header, N, Width, Height)) CheckPictureSize(Width, Height);
}

// Fills Row (Count pixels, B, G, R) from line Line of Source, whose format is one of those
// handled below.
void RowToBgr(const QImage& Source, int Line, int First, int Count, std::uint8_t* Row) {
  const std::uint8_t* In = Source.constScanLine(Line);
  switch (Source.format()) {
    case QImage::Format_BGR888:
      std::memcpy(Row, In + First * 3, static_cast<std::size_t>(Count) * 3);
      break;
    case QImage::Format_RGB888:
      for (const std::uint8_t* P = In + First * 3; Count-- > 0; P += 3, Row += 3) {
        Row[0] = P[2];
        Row[1] = P[1];
        Row[2] = P[0];
      }
      break;
    case QImage::Format_Grayscale8:
      for (const std::uint8_t* P = In + First; Count-- > 0; ++P, Row += 3) Row[0] = Row[1] = Row[2] = *P;
      break;
    default: {  // Format_RGB32 or Format_ARGB32: 0xAARRGGBB words
      const auto* P = reinterpret_cast<const QRgb*>(In) + First;
      for (; Count-- > 0; ++P, Row += 3) {
        Row[0] = static_cast<std::uint8_t>(qBlue(*P));
        Row[1] = static_cast<std::uint8_t>(qGreen(*P));
        Row[2] = static_cast<std::uint8_t>(qRed(*P));
      }
    }
  }
}

// The picture in a format RowToBgr reads directly, converting only where needed.
QImage Readable(const QImage& Source) {
  switch (Source.format()) {
    case QImage::Format_BGR888:
    case QImage::Format_RGB888:
    case QImage::Format_Grayscale8:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
      return Source;
    default:
      // Non-premultiplied, so that the colour bytes are the stored ones and alpha is dropped.
      return Source.convertToFormat(Source.hasAlphaChannel() ? QImage::Format_ARGB32
                                                             : QImage::Format_RGB32);
  }
}
}  // namespace

void CheckPictureSize(long long Width, long long Height) {
  if (Width > kMaxPictureSide || Height > kMaxPictureSide)
    throw EInvalidGraphic("图片尺寸太大（宽 " + std::to_string(Width) + "，高 " + std::to_string(Height) +
                          "），最大为 8196 × 8196");
}

void TCanvas::Draw(int X, int Y, const TGraphic& Graphic) {
  TBitmap& Target = FOwner;
  if (Graphic.Empty() || Target.FImage.isNull()) return;
  const QImage Source = Readable(Graphic.Image());
  // The part of the source that lands inside the target.
  const int Left = std::max(0, -X), Top = std::max(0, -Y);
  const int Right = std::min(Source.width(), Target.FImage.width() - X);
  const int Bottom = std::min(Source.height(), Target.FImage.height() - Y);
  if (Left >= Right || Top >= Bottom) return;

  if (Target.FImage.format() != QImage::Format_BGR888 && Target.FImage.format() != QImage::Format_RGB32)
    Target.FImage = Target.FImage.convertToFormat(QImage::Format_RGB32);
  if (Target.FImage.format() == QImage::Format_BGR888) {
    for (int Line = Top; Line < Bottom; ++Line)
      RowToBgr(Source, Line, Left, Right - Left, Target.FImage.scanLine(Y + Line) + (X + Left) * 3);
    return;
  }
  std::vector<std::uint8_t> Row(static_cast<std::size_t>(Right - Left) * 3);
  for (int Line = Top; Line < Bottom; ++Line) {
    RowToBgr(Source, Line, Left, Right - Left, Row.data());
    auto* Out = reinterpret_cast<QRgb*>(Target.FImage.scanLine(Y + Line)) + X + Left;
    for (std::size_t I = 0; I < Row.size(); I += 3) *Out++ = qRgb(Row[I + 2], Row[I + 1], Row[I]);
  }
}

TBitmap::TBitmap() : FCanvas(*this) {}

TBitmap::~TBitmap() = default;

void TBitmap::LoadFromFile(const std::string& FileName) {
  CheckBmpFile(FileName);
  // The content decides nothing: a file that is not a BMP is invalid, whatever it holds.
  QImageReader Reader(QString::fromStdString(FileName), "bmp");
  Reader.setAutoDetectImageFormat(false);
  Reader.setDecideFormatFromContent(false);
  // Qt gives the height of a top-down BMP as a negative number.
  const QSize Declared = Reader.size();
  if (Declared.width() <= 0 || Declared.height() == 0) throw EInvalidGraphic(kInvalidBitmap);
  CheckPictureSize(Declared.width(), std::abs(static_cast<long long>(Declared.height())));

  const int OldLimit = QImageReader::allocationLimit();
  QImageReader::setAllocationLimit(kReaderAllocationLimitMb);
  QImage Picture = Reader.read();
  QImageReader::setAllocationLimit(OldLimit);
  if (Picture.isNull() || Picture.width() > kMaxPictureSide || Picture.height() > kMaxPictureSide)
    throw EInvalidGraphic(kInvalidBitmap);

  FImage = std::move(Picture);
  FWidth = FImage.width();
  FHeight = FImage.height();
  // A loaded picture keeps its own format until PixelFormat is set.
  FPixelFormat = FImage.depth() == 24 ? pf24bit : FImage.depth() == 32 ? pf32bit : pfDevice;
}

void TBitmap::SetWidth(int Value) { Resize(Value, FHeight); }

void TBitmap::SetHeight(int Value) { Resize(FWidth, Value); }

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  FPixelFormat = Value;
  if (!FImage.isNull() && FImage.format() != FormatOf(Value)) FImage = FImage.convertToFormat(FormatOf(Value));
}

void TBitmap::Resize(int NewWidth, int NewHeight) {
  if (NewWidth < 0 || NewHeight < 0 || NewWidth > kMaxPictureSide || NewHeight > kMaxPictureSide)
    throw EInvalidGraphic("位图尺寸无效（宽 " + std::to_string(NewWidth) + "，高 " + std::to_string(NewHeight) +
                          "）");
  if (NewWidth == FImage.width() && NewHeight == FImage.height() && !FImage.isNull()) {
    FWidth = NewWidth;
    FHeight = NewHeight;
    return;
  }
  QImage Resized;
  if (NewWidth > 0 && NewHeight > 0) {
    // Only the two drawing formats are kept; anything else (a loaded palette picture) turns
    // into the format its pixel format names.
    QImage Old = FImage;
    if (!Old.isNull() && Old.format() != QImage::Format_BGR888 && Old.format() != QImage::Format_RGB32)
      Old = Old.convertToFormat(FormatOf(FPixelFormat));
    Resized = QImage(NewWidth, NewHeight, Old.isNull() ? FormatOf(FPixelFormat) : Old.format());
    if (Resized.isNull())
      throw EInvalidGraphic("内存不足，无法建立 " + std::to_string(NewWidth) + " × " + std::to_string(NewHeight) +
                            " 的位图");
    Resized.fill(0);
    const int KeptRows = std::min(NewHeight, Old.height());
    const auto KeptBytes = static_cast<std::size_t>(std::min(NewWidth, Old.width()) * (Old.depth() / 8));
    for (int Line = 0; Line < KeptRows; ++Line) std::memcpy(Resized.scanLine(Line), Old.constScanLine(Line), KeptBytes);
  }
  FImage = std::move(Resized);
  FWidth = NewWidth;
  FHeight = NewHeight;
}

std::uint8_t* TBitmap::ScanLine(int Y) {
  if (FImage.isNull() || Y < 0 || Y >= FImage.height()) throw EInvalidGraphic("Scan line index out of range");
  return FImage.scanLine(Y);
}
