// The whole generation run, from the chosen file to the completion message, against its floor:
// the same gzip and zip commands run alone on the same files. Prints both times and their ratio.
#include "Unit1.h"

#include "Classes.h"
#include "PictureIntake.h"
#include "Process.h"
#include "SysUtils.h"

#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {
double Milliseconds(Clock::duration D) { return std::chrono::duration<double, std::milli>(D).count(); }

double Median(std::vector<double> V) {
  std::sort(V.begin(), V.end());
  return V[V.size() / 2];
}

void Save(const char* Resource, const fs::path& Path) { TResourceStream(Resource, "file").SaveToFile(Path.string()); }
}  // namespace

int main(int argc, char** argv) {
  const int Runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  const fs::path Dir = fs::temp_directory_path() / ("u830-run-bench-" + std::to_string(::getpid()));
  fs::create_directories(Dir);

  std::vector<std::string> Completions;
  Seam::Hooks Hooks;
  Hooks.OpenDialog = [&](const TOpenPictureDialog&) { return std::optional<std::string>((Dir / "猛虎.jpg").string()); };
  Hooks.MessageBox = [&](const Seam::MessageBoxRecord& R) { Completions.push_back(R.Caption); };
  Seam::Scope Scope(std::move(Hooks));

  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  TApplication App;
  App.ExeName = (Dir / "u830logo").string();
  App.Initialize();
  App.CreateForm(Form1);

  std::vector<double> Whole;
  for (int I = 0; I < Runs; ++I) {
    Completions.clear();
    const Clock::time_point Start = Clock::now();
    static_cast<QPushButton*>(Form1->btnBlank->Widget())->click();
    Whole.push_back(Milliseconds(Clock::now() - Start));
    if (Completions.size() != 1 || Completions[0] != "完成了!") {
      std::fprintf(stderr, "run %d did not complete\n", I);
      return 1;
    }
  }

  // The floor: the files a run hands to gzip and zip, made once, then the two commands alone.
  const fs::path Temp = Dir / "temp";
  fs::copy_file(Dir / "猛虎.jpg", Temp / "YuanTu.jpg", fs::copy_options::overwrite_existing);
  std::system(("unzip -p '" + (Dir / "MENGHU_128K.supk").string() + "' logo_new.img > '" + (Temp / "logo_new.img").string() +
               "'").c_str());
  {
    TBitmap Work;
    TJPEGImage Jpeg;
    Jpeg.LoadFromFile((Temp / "YuanTu.jpg").string());
    DrawIntoWorkBitmap(Work, Jpeg);
    TRowBuffer Row{};
    std::uint8_t* Scan = nullptr;
    std::uint16_t* RowPtr = nullptr;
    SaveRgb565(Work, (Temp / "tempYuanTu.jpg").string(), Row, Scan, RowPtr);
  }
  Save("version128", Temp / "version.xml");
  Save("readme", Temp / "128K.txt");
  SetCurrentDir(Dir.string());
  std::vector<double> Floor;
  for (int I = 0; I < Runs; ++I) {
    fs::remove(Temp / "tempYuanTu.jpg.gz");
    Save("Supk", Temp / "tempSupk.zip");
    const Clock::time_point Start = Clock::now();
    RunProgram("./temp/gzip.exe", {"-fkq9", "./temp/tempYuanTu.jpg"});
    RunProgram("./temp/zip.exe", {"-j", "./temp/tempSupk.zip", "./temp/logo_new.img", "./temp/YuanTu.jpg",
                                  "./temp/version.xml", "./temp/128K.txt"});
    Floor.push_back(Milliseconds(Clock::now() - Start));
  }

  const double W = Median(Whole), F = Median(Floor);
  std::printf("whole run (median of %d): %.1f ms\n", Runs, W);
  std::printf("floor, gzip + zip alone (median of %d): %.1f ms\n", Runs, F);
  std::printf("ratio: %.2f (target at most 1.5)\n", W / F);
  Form1->Close();
  fs::remove_all(Dir);
  return 0;
}
