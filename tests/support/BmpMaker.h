#pragma once
// BMP files written byte by byte, and the picture they hold, so that tests know every pixel.
#include "TestFiles.h"

#include <cstdint>
#include <vector>

struct TRgb {
  std::uint8_t R, G, B;
  bool operator==(const TRgb&) const = default;
};

// Every pixel is an index into Palette, so the same picture can be stored at any depth that
// holds the palette.
struct TTestPicture {
  int Width = 0, Height = 0;
  std::vector<TRgb> Palette;
  std::vector<std::uint8_t> Index;  // row 0 is the top row
  TRgb At(int X, int Y) const { return Palette[Index[static_cast<std::size_t>(Y) * Width + X]]; }
};

// A picture of PaletteSize colours (at most 256) in a pattern that differs from row to row
// and column to column; the palette starts with white, red, green, blue, grey 128, (7, 3, 7)
// and black where there is room.
TTestPicture MakePattern(int Width, int Height, std::size_t PaletteSize, std::uint32_t Seed);
// One colour everywhere.
TTestPicture MakeSolid(int Width, int Height, TRgb Colour);

enum class TBmpKind { Bits1, Bits4, Bits8, Bits24, Bits32, Bits24TopDown, Rle8 };

TBytes MakeBmp(const TTestPicture& Picture, TBmpKind Kind);
// Headers only (BITMAPINFOHEADER, 24 bits, no pixels): a file that claims a size.
TBytes MakeBmpHeader(std::int32_t Width, std::int32_t Height);
