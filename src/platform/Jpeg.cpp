#include "Jpeg.h"

#include "SysUtils.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>
#include <jerror.h>

namespace {
// libjpeg's error exit must not return into the decoder. It jumps back to the step that was
// running (see the Step functions below), which reports the message number to its caller.
struct ErrorManager {
  jpeg_error_mgr Pub;  // first, so that libjpeg's pointer to it is a pointer to the whole
  std::jmp_buf Jump;
  int Code;
};

[[noreturn]] void ErrorExit(j_common_ptr Info) {
  auto* Error = reinterpret_cast<ErrorManager*>(Info->err);
  Error->Code = Info->err->msg_code;
  std::longjmp(Error->Jump, 1);
}

// Warnings are tolerated (a few stray bytes before a marker are common), except the end of
// the file before the end of the picture: the rest of the picture would be made up.
void EmitMessage(j_common_ptr Info, int Level) {
  if (Level >= 0) return;  // trace messages
  if (Info->err->msg_code == JWRN_JPEG_EOF) ErrorExit(Info);
  ++Info->err->num_warnings;
}

void OutputMessage(j_common_ptr) {}  // nothing goes to stderr

struct FileCloser {
  void operator()(std::FILE* F) const { std::fclose(F); }
};

struct Decompressor {
  jpeg_decompress_struct Info{};
  ErrorManager Error{};
  bool Created = false;

  Decompressor() {
    Info.err = jpeg_std_error(&Error.Pub);
    Error.Pub.error_exit = ErrorExit;
    Error.Pub.emit_message = EmitMessage;
    Error.Pub.output_message = OutputMessage;
  }
  ~Decompressor() {
    if (Created) jpeg_destroy_decompress(&Info);
  }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;
};

// Each step runs libjpeg under its own setjmp. No object with a destructor lives in these
// frames, so the jump skips nothing; the caller turns a false result into an exception.
bool StepCreate(Decompressor* D, std::FILE* File) {
  if (setjmp(D->Error.Jump)) return false;
  jpeg_create_decompress(&D->Info);
  D->Created = true;
  jpeg_stdio_src(&D->Info, File);
  return true;
}

bool StepReadHeader(Decompressor* D) {
  if (setjmp(D->Error.Jump)) return false;
  jpeg_read_header(&D->Info, TRUE);
  return true;
}

bool StepStart(Decompressor* D) {
  if (setjmp(D->Error.Jump)) return false;
  jpeg_start_decompress(&D->Info);
  return true;
}

bool StepReadRows(Decompressor* D, unsigned char* Bits, std::ptrdiff_t Stride) {
  if (setjmp(D->Error.Jump)) return false;
  while (D->Info.output_scanline < D->Info.output_height) {
    JSAMPROW Row = Bits + static_cast<std::ptrdiff_t>(D->Info.output_scanline) * Stride;
    jpeg_read_scanlines(&D->Info, &Row, 1);
  }
  return true;
}

bool StepFinish(Decompressor* D) {
  if (setjmp(D->Error.Jump)) return false;
  jpeg_finish_decompress(&D->Info);
  return true;
}

// libjpeg hands out Adobe's inverted CMYK; a plain conversion is enough for a preview and a
// logo.
void CmykToRgb(QImage& Picture) {
  for (int Y = 0; Y < Picture.height(); ++Y) {
    auto* P = reinterpret_cast<QRgb*>(Picture.scanLine(Y));
    for (int X = 0; X < Picture.width(); ++X) {
      const auto* B = reinterpret_cast<const unsigned char*>(P + X);
      const unsigned K = B[3];
      P[X] = qRgb(static_cast<int>(B[0] * K / 255), static_cast<int>(B[1] * K / 255),
                  static_cast<int>(B[2] * K / 255));
    }
  }
}
}  // namespace

void TJPEGImage::LoadFromFile(const std::string& FileName) {
  std::unique_ptr<std::FILE, FileCloser> File(std::fopen(FileName.c_str(), "rbe"));
  if (!File) throw EFOpenError(ExpandFileName(FileName), errno);

  Decompressor D;  // destroyed before the file is closed
  if (!StepCreate(&D, File.get()) || !StepReadHeader(&D)) throw EJPEG(D.Error.Code);
  // Before jpeg_start_decompress: a progressive picture gets its whole coefficient buffer
  // there.
  CheckPictureSize(D.Info.image_width, D.Info.image_height);
  if (!StepStart(&D)) throw EJPEG(D.Error.Code);

  QImage::Format Format;
  switch (D.Info.output_components) {
    case 1: Format = QImage::Format_Grayscale8; break;
    case 3: Format = QImage::Format_RGB888; break;
    case 4: Format = QImage::Format_RGB32; break;
    default: throw EJPEG(JERR_CONVERSION_NOTIMPL);
  }
  QImage Picture(static_cast<int>(D.Info.output_width), static_cast<int>(D.Info.output_height), Format);
  if (Picture.isNull())
    throw EInvalidGraphic("内存不足，无法解码 " + std::to_string(D.Info.output_width) + " × " +
                          std::to_string(D.Info.output_height) + " 的图片");
  if (!StepReadRows(&D, Picture.bits(), Picture.bytesPerLine()) || !StepFinish(&D)) throw EJPEG(D.Error.Code);
  if (D.Info.output_components == 4) CmykToRgb(Picture);
  FImage = std::move(Picture);
}
