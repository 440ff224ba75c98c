#pragma once
// The raw frame: the working bitmap as RGB565 words, little-endian, rows top first, no
// padding, no header.
#include "Graphics.h"

#include <array>
#include <cstdint>
#include <string>

// One converted row; the window keeps it (FRowBuffer) and reuses it for every run.
using TRowBuffer = std::array<std::uint16_t, kMaxPictureSide>;

// The pixel word of a blue, green, red pixel; the low bits of each channel are dropped.
constexpr std::uint16_t Rgb565Word(std::uint8_t Blue, std::uint8_t Green, std::uint8_t Red) {
  return static_cast<std::uint16_t>(((Red & 0xF8) << 8) | ((Green & 0xFC) << 3) | ((Blue & 0xF8) >> 3));
}

// Writes WorkBitmap (24 bits a pixel) to FileName, created or replaced (fmCreate), one write
// of width × 2 bytes a row through RowBuffer; ScanPtr and RowPtr are the window's cursors
// into the scan line and the row buffer. Raises EFCreateError, EWriteError ("Stream write
// error") for a write the disk does not take whole, EInvalidGraphic for a bitmap that is
// not 24 bits or wider than the row buffer. The file is closed on every path.
void SaveRgb565(TBitmap& WorkBitmap, const std::string& FileName, TRowBuffer& RowBuffer,
                std::uint8_t*& ScanPtr, std::uint16_t*& RowPtr);
