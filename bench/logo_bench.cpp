// The picture intake and the raw frame, the steps of a run that depend on the picture.
// Targets: intake of a 320 × 480 baseline JPEG of about 16 KB under 5 ms; the frame of a
// 320 × 480 picture under 1 ms.
#include "Jpeg.h"
#include "JpegMaker.h"
#include "PictureIntake.h"
#include "Rgb565.h"
#include "TestFiles.h"

#include <benchmark/benchmark.h>

namespace {
TBytes SamplePicture() { return EncodeJpeg(320, 480, PhotoLikeRgb(320, 480, 42), TJpegKind::Baseline, 75); }

void BM_IntakeJpeg320x480(benchmark::State& State) {
  TTempDir Dir;
  const TBytes File = SamplePicture();
  WriteBytes(Dir.Path() + "YuanTu.jpg", File);
  TJPEGImage Jpeg;
  TBitmap Work;
  for (auto _ : State) {
    Jpeg.LoadFromFile(Dir.Path() + "YuanTu.jpg");
    DrawIntoWorkBitmap(Work, Jpeg);
    benchmark::DoNotOptimize(Work.ScanLine(0));
  }
  State.counters["jpeg_bytes"] = static_cast<double>(File.size());
}
BENCHMARK(BM_IntakeJpeg320x480)->Unit(benchmark::kMillisecond);

// Target "" writes the frame into the benchmark's folder; "/dev/null" shows the conversion and
// the row writes without a file system, to tell the program's share from the disk's.
void SaveFrame(benchmark::State& State, const std::string& Target) {
  TTempDir Dir;
  WriteBytes(Dir.Path() + "YuanTu.jpg", SamplePicture());
  TJPEGImage Jpeg;
  Jpeg.LoadFromFile(Dir.Path() + "YuanTu.jpg");
  TBitmap Work;
  DrawIntoWorkBitmap(Work, Jpeg);
  TRowBuffer RowBuffer{};
  std::uint8_t* ScanPtr = nullptr;
  std::uint16_t* RowPtr = nullptr;
  const std::string FileName = Target.empty() ? Dir.Path() + "tempYuanTu.jpg" : Target;
  for (auto _ : State) SaveRgb565(Work, FileName, RowBuffer, ScanPtr, RowPtr);
}

void BM_SaveRgb565_320x480(benchmark::State& State) { SaveFrame(State, ""); }
BENCHMARK(BM_SaveRgb565_320x480)->Unit(benchmark::kMillisecond);

void BM_SaveRgb565_320x480_DevNull(benchmark::State& State) { SaveFrame(State, "/dev/null"); }
BENCHMARK(BM_SaveRgb565_320x480_DevNull)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
