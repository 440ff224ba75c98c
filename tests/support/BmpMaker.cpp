#include "BmpMaker.h"

#include <stdexcept>

namespace {
void Put16(TBytes& B, std::uint32_t V) {
  B.push_back(static_cast<std::uint8_t>(V));
  B.push_back(static_cast<std::uint8_t>(V >> 8));
}
void Put32(TBytes& B, std::uint32_t V) {
  Put16(B, V & 0xFFFF);
  Put16(B, V >> 16);
}

int BitsOf(TBmpKind Kind) {
  switch (Kind) {
    case TBmpKind::Bits1: return 1;
    case TBmpKind::Bits4: return 4;
    case TBmpKind::Bits8:
    case TBmpKind::Rle8: return 8;
    case TBmpKind::Bits32: return 32;
    default: return 24;
  }
}

// Pixel rows as stored (uncompressed), padded to 4 bytes.
TBytes Row(const TTestPicture& P, int Y, int Bits) {
  const std::size_t Stride = ((static_cast<std::size_t>(P.Width) * Bits + 31) / 32) * 4;
  TBytes R(Stride, 0);
  for (int X = 0; X < P.Width; ++X) {
    const std::uint8_t I = P.Index[static_cast<std::size_t>(Y) * P.Width + X];
    const TRgb C = P.Palette[I];
    switch (Bits) {
      case 1: R[X / 8] |= static_cast<std::uint8_t>((I & 1) << (7 - X % 8)); break;
      case 4: R[X / 2] |= static_cast<std::uint8_t>((I & 15) << (X % 2 ? 0 : 4)); break;
      case 8: R[X] = I; break;
      case 24: R[X * 3] = C.B; R[X * 3 + 1] = C.G; R[X * 3 + 2] = C.R; break;
      case 32: R[X * 4] = C.B; R[X * 4 + 1] = C.G; R[X * 4 + 2] = C.R; R[X * 4 + 3] = 0; break;
    }
  }
  return R;
}

TBytes Rle8Row(const TTestPicture& P, int Y) {
  TBytes R;
  const std::uint8_t* In = &P.Index[static_cast<std::size_t>(Y) * P.Width];
  for (int X = 0; X < P.Width;) {
    int N = 1;
    while (X + N < P.Width && N < 255 && In[X + N] == In[X]) ++N;
    R.push_back(static_cast<std::uint8_t>(N));
    R.push_back(In[X]);
    X += N;
  }
  return R;
}
}  // namespace

TTestPicture MakePattern(int Width, int Height, std::size_t PaletteSize, std::uint32_t Seed) {
  TTestPicture P;
  P.Width = Width;
  P.Height = Height;
  const std::vector<TRgb> Named{{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255},
                                {128, 128, 128}, {7, 3, 7},   {0, 0, 0}};
  const TBytes Random = PseudoRandomBytes(PaletteSize * 3, Seed);
  for (std::size_t I = 0; I < PaletteSize; ++I)
    P.Palette.push_back(I < Named.size() ? Named[I] : TRgb{Random[I * 3], Random[I * 3 + 1], Random[I * 3 + 2]});
  P.Index.resize(static_cast<std::size_t>(Width) * Height);
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X)
      // Bands a few pixels wide, so that RLE has runs, shifted from row to row.
      P.Index[static_cast<std::size_t>(Y) * Width + X] =
          static_cast<std::uint8_t>(((X / 3) * 7 + Y * 5 + (X * Y) % 3 + Seed) % PaletteSize);
  return P;
}

TTestPicture MakeSolid(int Width, int Height, TRgb Colour) {
  TTestPicture P;
  P.Width = Width;
  P.Height = Height;
  P.Palette = {Colour};
  P.Index.assign(static_cast<std::size_t>(Width) * Height, 0);
  return P;
}

TBytes MakeBmp(const TTestPicture& P, TBmpKind Kind) {
  const int Bits = BitsOf(Kind);
  const std::size_t Colours = Bits <= 8 ? (std::size_t{1} << Bits) : 0;
  if (Colours && P.Palette.size() > Colours) throw std::invalid_argument("palette too large for the depth");

  TBytes Pixels;
  const bool TopDown = Kind == TBmpKind::Bits24TopDown;
  for (int I = 0; I < P.Height; ++I) {
    const int Y = TopDown ? I : P.Height - 1 - I;  // bottom-up unless top-down
    const TBytes R = Kind == TBmpKind::Rle8 ? Rle8Row(P, Y) : Row(P, Y, Bits);
    Pixels.insert(Pixels.end(), R.begin(), R.end());
    if (Kind == TBmpKind::Rle8) {
      Pixels.push_back(0);
      Pixels.push_back(I + 1 == P.Height ? 1 : 0);  // end of bitmap, or end of line
    }
  }

  const std::uint32_t Offset = 14 + 40 + static_cast<std::uint32_t>(Colours * 4);
  TBytes B{'B', 'M'};
  Put32(B, Offset + static_cast<std::uint32_t>(Pixels.size()));
  Put32(B, 0);
  Put32(B, Offset);
  Put32(B, 40);
  Put32(B, static_cast<std::uint32_t>(P.Width));
  Put32(B, static_cast<std::uint32_t>(TopDown ? -P.Height : P.Height));
  Put16(B, 1);
  Put16(B, static_cast<std::uint32_t>(Bits));
  Put32(B, Kind == TBmpKind::Rle8 ? 1 : 0);
  Put32(B, static_cast<std::uint32_t>(Pixels.size()));
  Put32(B, 2835);
  Put32(B, 2835);
  Put32(B, static_cast<std::uint32_t>(Colours));
  Put32(B, 0);
  for (std::size_t I = 0; I < Colours; ++I) {
    const TRgb C = I < P.Palette.size() ? P.Palette[I] : TRgb{0, 0, 0};
    B.insert(B.end(), {C.B, C.G, C.R, 0});
  }
  B.insert(B.end(), Pixels.begin(), Pixels.end());
  return B;
}

TBytes MakeBmpHeader(std::int32_t Width, std::int32_t Height) {
  TBytes B{'B', 'M'};
  const std::uint64_t Claimed = 54 + static_cast<std::uint64_t>(Width < 0 ? 0 : Width) * 3 *
                                         static_cast<std::uint64_t>(Height < 0 ? -static_cast<std::int64_t>(Height) : Height);
  Put32(B, static_cast<std::uint32_t>(Claimed));
  Put32(B, 0);
  Put32(B, 54);
  Put32(B, 40);
  Put32(B, static_cast<std::uint32_t>(Width));
  Put32(B, static_cast<std::uint32_t>(Height));
  Put16(B, 1);
  Put16(B, 24);
  Put32(B, 0);
  Put32(B, 0);
  Put32(B, 2835);
  Put32(B, 2835);
  Put32(B, 0);
  Put32(B, 0);
  B.resize(B.size() + 64, 0x80);  // a few pixels, far fewer than claimed
  return B;
}
