#pragma once
// The JPEG picture object over libjpeg, with libjpeg's default decompression settings: full
// scale, RGB output (grayscale stays grayscale), the default integer DCT, fancy upsampling.
#include "Exceptions.h"
#include "Graphics.h"

// "JPEG error #%d" with libjpeg's message number. A truncated file counts as an error
// (libjpeg would only warn and pad the picture with grey).
class EJPEG : public EInvalidGraphic {
public:
  explicit EJPEG(int Code) : EInvalidGraphic("JPEG error #" + std::to_string(Code)), FCode(Code) {}
  int Code() const { return FCode; }

private:
  int FCode;
};

class TJPEGImage : public TGraphic {
public:
  // Raises EFOpenError, EJPEG, or EInvalidGraphic for a picture larger than kMaxPictureSide
  // (checked from the header, before the picture is decoded).
  void LoadFromFile(const std::string& FileName) override;
  int Width() const override { return FImage.width(); }
  int Height() const override { return FImage.height(); }
  bool Empty() const override { return FImage.isNull(); }
  // Format_RGB888 for colour pictures, Format_Grayscale8 for grayscale ones.
  const QImage& Image() const override { return FImage; }

private:
  QImage FImage;
};
