#include "JpegMaker.h"

#include <cmath>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

TBytes EncodeJpeg(int Width, int Height, const TBytes& Rgb, TJpegKind Kind, int Quality) {
  jpeg_compress_struct Info{};
  jpeg_error_mgr Error{};
  Info.err = jpeg_std_error(&Error);  // a misuse in a test ends the test program
  jpeg_create_compress(&Info);
  unsigned char* Out = nullptr;
  unsigned long OutSize = 0;
  jpeg_mem_dest(&Info, &Out, &OutSize);
  Info.image_width = static_cast<JDIMENSION>(Width);
  Info.image_height = static_cast<JDIMENSION>(Height);
  const bool Gray = Kind == TJpegKind::Grayscale, Cmyk = Kind == TJpegKind::Cmyk;
  Info.input_components = Gray ? 1 : Cmyk ? 4 : 3;
  Info.in_color_space = Gray ? JCS_GRAYSCALE : Cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&Info);
  jpeg_set_quality(&Info, Quality, TRUE);
  if (Kind == TJpegKind::Progressive) jpeg_simple_progression(&Info);
  jpeg_start_compress(&Info, TRUE);
  TBytes Line(static_cast<std::size_t>(Width) * 4);
  while (Info.next_scanline < Info.image_height) {
    const std::uint8_t* Src = &Rgb[static_cast<std::size_t>(Info.next_scanline) * Width * 3];
    if (Gray)
      for (int X = 0; X < Width; ++X)
        Line[X] = static_cast<std::uint8_t>((Src[X * 3] * 299 + Src[X * 3 + 1] * 587 + Src[X * 3 + 2] * 114) / 1000);
    else if (Cmyk)
      for (int X = 0; X < Width; ++X) {
        std::copy_n(Src + X * 3, 3, Line.begin() + X * 4);
        Line[X * 4 + 3] = 255;
      }
    else
      std::copy_n(Src, static_cast<std::size_t>(Width) * 3, Line.begin());
    JSAMPROW Row = Line.data();
    jpeg_write_scanlines(&Info, &Row, 1);
  }
  jpeg_finish_compress(&Info);
  TBytes R(Out, Out + OutSize);
  jpeg_destroy_compress(&Info);
  std::free(Out);
  return R;
}

TBytes RgbOf(const TTestPicture& P) {
  TBytes R;
  R.reserve(P.Index.size() * 3);
  for (int Y = 0; Y < P.Height; ++Y)
    for (int X = 0; X < P.Width; ++X) {
      const TRgb C = P.At(X, Y);
      R.insert(R.end(), {C.R, C.G, C.B});
    }
  return R;
}

TBytes PhotoLikeRgb(int Width, int Height, std::uint32_t Seed) {
  const TBytes Grain = PseudoRandomBytes(static_cast<std::size_t>(Width) * Height, Seed);
  TBytes R(static_cast<std::size_t>(Width) * Height * 3);
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      const std::size_t I = static_cast<std::size_t>(Y) * Width + X;
      const double Shade = 0.5 + 0.5 * std::sin(X / 23.0) * std::cos(Y / 31.0);
      const int Noise = Grain[I] % 16 - 8;
      auto Clamp = [](double V) { return static_cast<std::uint8_t>(V < 0 ? 0 : V > 255 ? 255 : V); };
      R[I * 3] = Clamp(200 * Shade + Noise + X / 8.0);
      R[I * 3 + 1] = Clamp(160 * (1 - Shade) + Noise + Y / 6.0);
      R[I * 3 + 2] = Clamp(90 + 60 * std::sin((X + Y) / 40.0) + Noise);
    }
  return R;
}

TDecoded ReferenceDecodeJpeg(const TBytes& Jpeg) {
  jpeg_decompress_struct Info{};
  jpeg_error_mgr Error{};
  Info.err = jpeg_std_error(&Error);
  jpeg_create_decompress(&Info);
  jpeg_mem_src(&Info, Jpeg.data(), static_cast<unsigned long>(Jpeg.size()));
  jpeg_read_header(&Info, TRUE);
  jpeg_start_decompress(&Info);  // every setting left at libjpeg's default
  TDecoded D;
  D.Width = static_cast<int>(Info.output_width);
  D.Height = static_cast<int>(Info.output_height);
  const int N = Info.output_components;
  TBytes Line(static_cast<std::size_t>(D.Width) * N);
  while (Info.output_scanline < Info.output_height) {
    JSAMPROW Row = Line.data();
    jpeg_read_scanlines(&Info, &Row, 1);
    for (int X = 0; X < D.Width; ++X)
      D.Pixels.push_back(N == 1 ? TRgb{Line[X], Line[X], Line[X]}
                                : TRgb{Line[X * 3], Line[X * 3 + 1], Line[X * 3 + 2]});
  }
  jpeg_finish_decompress(&Info);
  jpeg_destroy_decompress(&Info);
  return D;
}
