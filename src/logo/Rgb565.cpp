#include "Rgb565.h"

#include "Classes.h"
#include "Exceptions.h"

#include <bit>

namespace {
// The word as it must lie in memory for its bytes to be little-endian on this host.
constexpr std::uint16_t LittleEndian(std::uint16_t Word) {
  if constexpr (std::endian::native == std::endian::big)
    return static_cast<std::uint16_t>((Word >> 8) | (Word << 8));
  return Word;
}
}  // namespace

void SaveRgb565(TBitmap& WorkBitmap, const std::string& FileName, TRowBuffer& RowBuffer,
                std::uint8_t*& ScanPtr, std::uint16_t*& RowPtr) {
  const int Height = WorkBitmap.Height();
  const int Width = WorkBitmap.Width();
  if (Width > static_cast<int>(RowBuffer.size()))
    throw EInvalidGraphic("图片太宽（宽 " + std::to_string(Width) + "），最大为 8196");
  if (Height > 0 && Width > 0 && WorkBitmap.PixelFormat() != pf24bit)
    throw EInvalidGraphic("工作位图不是 24 位");

  // The rows go to the system in large blocks; FlushBuffer below reports a full disk.
  TBufferedFileStream File(FileName, fmCreate);
  const std::int64_t RowBytes = static_cast<std::int64_t>(Width) * 2;
  for (int Y = 0; Y < Height; ++Y) {
    ScanPtr = WorkBitmap.ScanLine(Y);
    RowPtr = RowBuffer.data();
    // The cursors run in registers through the row and are handed back to the window after
    // it; through the references every step would be a store.
    std::uint8_t* Scan = ScanPtr;
    std::uint16_t* Row = RowPtr;
    for (int X = 0; X < Width; ++X) {
      std::uint16_t Word = 0;
      Word |= static_cast<std::uint16_t>((Scan[0] & 0xF8) >> 3);
      Word |= static_cast<std::uint16_t>((Scan[1] & 0xFC) << 3);
      Word |= static_cast<std::uint16_t>((Scan[2] & 0xF8) << 8);
      *Row = LittleEndian(Word);
      Scan += 3;
      ++Row;
    }
    ScanPtr = Scan;
    RowPtr = Row;
    File.WriteBuffer(RowBuffer.data(), RowBytes);
  }
  File.FlushBuffer();
}
