#pragma once
// Picture objects in the manner of the VCL: the abstract TGraphic, and TBitmap
// over Qt's image reader. A TBitmap can also be a drawing target (the 24-bit working bitmap):
// its rows are then blue, green, red bytes, the top row first.
#include <QImage>

#include <cstdint>
#include <memory>
#include <string>

// The longest side a picture may have: the row buffer of the frame writer holds this many
// pixels. Larger pictures are refused from their header, before any large allocation.
inline constexpr int kMaxPictureSide = 8196;

// Raises EInvalidGraphic with the Chinese size message when a side is larger than
// kMaxPictureSide.
void CheckPictureSize(long long Width, long long Height);

class TGraphic {
public:
  TGraphic() = default;
  TGraphic(const TGraphic&) = delete;
  TGraphic& operator=(const TGraphic&) = delete;
  virtual ~TGraphic() = default;

  // Raises EFOpenError for a file that cannot be opened, EInvalidGraphic (or a subclass) for
  // content the object cannot read or a picture that is too large. On failure the object
  // keeps its previous picture.
  virtual void LoadFromFile(const std::string& FileName) = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const = 0;
  // The picture as decoded, in whatever format suits it; null when empty. Preview controls
  // show this.
  virtual const QImage& Image() const = 0;
};

enum TPixelFormat { pfDevice, pf24bit, pf32bit };

class TBitmap;

class TCanvas {
public:
  explicit TCanvas(TBitmap& Owner) : FOwner(Owner) {}
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // Copies Graphic at its own size with its top left corner at (X, Y), clipped to the
  // bitmap. Colours are converted to the bitmap's format; an alpha channel is ignored, as a
  // plain block copy would.
  void Draw(int X, int Y, const TGraphic& Graphic);

private:
  TBitmap& FOwner;
};

class TBitmap : public TGraphic {
public:
  TBitmap();
  ~TBitmap() override;

  // Reads any BMP that Qt's reader takes (1, 4, 8, 16, 24 and 32 bits, RLE, top-down).
  // "Bitmap image is not valid" for anything else, a JPEG named .bmp included.
  void LoadFromFile(const std::string& FileName) override;
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  bool Empty() const override { return FImage.isNull(); }
  const QImage& Image() const override { return FImage; }

  // Resizing keeps the pixels that stay inside and clears the new ones to black.
  // A side outside 0 .. kMaxPictureSide raises EInvalidGraphic.
  void SetWidth(int Value);
  void SetHeight(int Value);
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TPixelFormat Value);

  TCanvas* Canvas() { return &FCanvas; }
  // Row Y's bytes: for pf24bit 3 bytes a pixel in blue, green, red order; row 0 is the top.
  // Raises EInvalidGraphic("Scan line index out of range") outside 0 .. Height() - 1.
  std::uint8_t* ScanLine(int Y);

private:
  friend class TCanvas;
  void Resize(int NewWidth, int NewHeight);

  QImage FImage;
  // A size set while the other side is still 0 has no image to live in yet.
  int FWidth = 0;
  int FHeight = 0;
  TPixelFormat FPixelFormat = pfDevice;
  TCanvas FCanvas;
};
