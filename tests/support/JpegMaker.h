#pragma once
// JPEG files encoded by libjpeg's compressor, an independent decode with libjpeg's default
// settings, and the RGB565 word computed apart from the program's code.
#include "BmpMaker.h"

#include <cstdint>
#include <vector>

// Cmyk stores Adobe's inverted CMYK with no black, so that the colours read back are Rgb's.
enum class TJpegKind { Baseline, Progressive, Grayscale, Cmyk };

// Rgb: Width × Height pixels of R, G, B bytes, top row first. Grayscale stores the luma.
TBytes EncodeJpeg(int Width, int Height, const TBytes& Rgb, TJpegKind Kind, int Quality = 90);
// The picture's pixels as R, G, B bytes.
TBytes RgbOf(const TTestPicture& Picture);
// Smooth shading with a little grain, compressing like a photo.
TBytes PhotoLikeRgb(int Width, int Height, std::uint32_t Seed);

struct TDecoded {
  int Width = 0, Height = 0;
  std::vector<TRgb> Pixels;  // grayscale expanded to R = G = B
  TRgb At(int X, int Y) const { return Pixels[static_cast<std::size_t>(Y) * Width + X]; }
};
TDecoded ReferenceDecodeJpeg(const TBytes& Jpeg);

// The phone's pixel word: 5 bits of red, 6 of green, 5 of blue.
inline std::uint16_t ReferenceRgb565(TRgb C) {
  const unsigned Red5 = C.R / 8u, Green6 = C.G / 4u, Blue5 = C.B / 8u;
  return static_cast<std::uint16_t>(Red5 * 2048u + Green6 * 32u + Blue5);
}
