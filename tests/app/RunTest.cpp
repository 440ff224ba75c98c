// Whole generation runs in the window, with the real gzip and zip, the dialog and the boxes
// answered by the seam.
#include "AppTestSupport.h"

#include <QImage>

#include <cstdlib>
#include <random>
#include <sys/wait.h>

namespace {
int Shell(const std::string& Command) { return std::system(Command.c_str()); }

std::string Quoted(const fs::path& P) { return "'" + P.string() + "'"; }

std::string Entry(const fs::path& Package, const std::string& Name) {
  const fs::path Out = Package.parent_path() / ("entry-" + std::to_string(std::hash<std::string>{}(Name)));
  if (Shell("unzip -p " + Quoted(Package) + " '" + Name + "' > " + Quoted(Out)) != 0) return "<missing>";
  std::string Bytes = ReadAll(Out);
  fs::remove(Out);
  return Bytes;
}

// A 24-bit picture whose first NoisyRows rows are random and the rest black: its frame
// compresses to about NoisyRows × 640 bytes, which picks the capacity.
QImage NoisyPicture(int Width, int Height, int NoisyRows) {
  QImage Image(Width, Height, QImage::Format_RGB888);
  Image.fill(Qt::black);
  std::mt19937 Random(830);
  for (int Y = 0; Y < NoisyRows && Y < Height; ++Y) {
    std::uint8_t* Row = Image.scanLine(Y);
    for (int X = 0; X < Width * 3; ++X) Row[X] = static_cast<std::uint8_t>(Random());
  }
  return Image;
}

// The frame as the phone reads it, computed here from the picture's pixels.
std::string ExpectedFrame(const QImage& Picture) {
  const QImage Rgb = Picture.convertToFormat(QImage::Format_RGB888);
  std::string Frame;
  for (int Y = 0; Y < Rgb.height(); ++Y)
    for (int X = 0; X < Rgb.width(); ++X) {
      const std::uint8_t* P = Rgb.constScanLine(Y) + 3 * X;
      const unsigned Word = ((P[0] >> 3) << 11) | ((P[1] >> 2) << 5) | (P[2] >> 3);
      Frame += static_cast<char>(Word & 0xFF);
      Frame += static_cast<char>(Word >> 8);
    }
  return Frame;
}

std::uint32_t Le32(const std::string& S, std::size_t At) {
  return static_cast<std::uint8_t>(S[At]) | static_cast<std::uint8_t>(S[At + 1]) << 8 |
         static_cast<std::uint8_t>(S[At + 2]) << 16 | static_cast<std::uint32_t>(static_cast<std::uint8_t>(S[At + 3])) << 24;
}

std::string Inflate(const fs::path& Dir, const std::string& Member) {
  WriteAll(Dir / "member.gz", Member);
  if (Shell("gzip -t " + Quoted(Dir / "member.gz")) != 0) return "<not one gzip member>";
  Shell("gzip -dc " + Quoted(Dir / "member.gz") + " > " + Quoted(Dir / "member"));
  std::string Raw = ReadAll(Dir / "member");
  fs::remove(Dir / "member.gz");
  fs::remove(Dir / "member");
  return Raw;
}

class RunTest : public WindowFixture {
protected:
  fs::path Pictures() {
    const fs::path P = ProgramDir.parent_path() / (ProgramDir.filename().string() + "-pictures");
    fs::create_directories(P);
    return P;
  }
  void TearDown() override {
    WindowFixture::TearDown();
    fs::remove_all(Pictures());
  }

  // The package a run left, checked entry by entry against the template package, the data
  // files and the picture.
  void CheckPackage(const fs::path& Package, const std::string& Label, const std::string& PictureEntry,
                    const fs::path& Picture, const std::string* Frame) {
    ASSERT_TRUE(fs::exists(Package)) << Package;
    EXPECT_EQ(Shell("unzip -tqq " + Quoted(Package)), 0);
    const fs::path Template = ProgramDir.parent_path() / "template.zip";
    WriteAll(Template, ResourceBytes("SUPK"));
    for (const char* Name : {"META-INF/com/google/android/update-binary", "META-INF/com/google/android/updater-script"})
      EXPECT_EQ(Entry(Package, Name), Entry(Template, Name)) << Name;
    EXPECT_EQ(Shell("unzip -l " + Quoted(Package) + " | grep -c 'META-INF/' | grep -qx 7"), 0);
    const std::string Version = Label == "128K" ? "VERSION128" : Label == "160K" ? "VERSION160" : "VERSION256";
    EXPECT_EQ(Entry(Package, "version.xml"), ResourceBytes(Version.c_str()));
    EXPECT_EQ(Entry(Package, Label + ".txt"), ResourceBytes("README"));
    EXPECT_EQ(Entry(Package, PictureEntry), ReadAll(Picture));

    const std::string Logo = Entry(Package, "logo_new.img");
    const std::string Base = ResourceBytes("LOGO_NEW");
    ASSERT_EQ(Logo.size(), 262144u);
    EXPECT_EQ(Logo.substr(0, 4), "OGOL");
    const std::uint32_t L = Le32(Logo, 4);
    const std::size_t Limit = Label == "128K" ? 131064 : Label == "160K" ? 163831 : 262136;
    ASSERT_LT(L, Limit);
    const std::string Raw = Inflate(ProgramDir.parent_path(), Logo.substr(8, L));
    EXPECT_EQ(Raw.size(), 307200u);
    if (Frame) {
      EXPECT_TRUE(Raw == *Frame) << "the frame in the package is not the picture's";
    }
    EXPECT_EQ(Logo.substr(8 + L, Limit - L), std::string(Limit - L, '\xFF'));
    EXPECT_EQ(Logo.substr(8 + Limit), Base.substr(8 + Limit));
    Shell("rm -f " + Quoted(Template));
  }

  void ExpectCompletion(const std::string& OutputName, const std::string& Label) {
    ASSERT_FALSE(Boxes.empty());
    const Seam::MessageBoxRecord& Done = Boxes.back();
    EXPECT_EQ(Done.Text, "完成了!\r\r新文件名为 " + OutputName + "\r版本为" + Label);
    EXPECT_EQ(Done.Caption, "完成了!");
    EXPECT_EQ(Done.Type, unsigned(MB_OK | MB_ICONINFORMATION));
    EXPECT_TRUE(Done.OwnedByWindow);
  }

  void ExpectOnlyTheTools() {
    EXPECT_EQ(FilesIn(ProgramDir / "temp"), (std::vector<std::string>{"gzip.exe", "zip.exe"}));
  }

  bool Completed() const {
    for (const auto& B : Boxes)
      if (B.Caption == "完成了!") return true;
    return false;
  }
};

TEST_F(RunTest, SamplePictureBothButtons) {
  StartProgram();
  for (TBitBtn* Button : {Form1->btnBlank, Form1->btnNoBlank}) {
    Boxes.clear();
    fs::remove(ProgramDir / "MENGHU_128K.supk");
    Click(Button, (ProgramDir / "猛虎.jpg").string());
    ASSERT_EQ(Boxes.size(), 1u) << (Boxes.empty() ? "" : Boxes[0].Text);
    ExpectCompletion("MENGHU_128K.supk", "128K");
    CheckPackage(ProgramDir / "MENGHU_128K.supk", "128K", "YuanTu.jpg", ProgramDir / "猛虎.jpg", nullptr);
    ExpectOnlyTheTools();
    EXPECT_TRUE(Form1->j_bmp0->Visible());
    EXPECT_FALSE(Form1->b_bmp0->Visible());
    EXPECT_EQ(Form1->j_bmp0->Shown().size(), QSize(320, 480));
    EXPECT_EQ(Form1->j_bmp0->Width(), 320);
  }
}

struct CapacityRun {
  const char* Name;
  int NoisyRows;
  const char* Button;  // "auto", "128", "160", "256"
  const char* Label;   // "" where the run is refused
  const char* Refusal;
};
void PrintTo(const CapacityRun& C, std::ostream* Os) { *Os << C.Name; }


class CapacityRunTest : public RunTest, public testing::WithParamInterface<CapacityRun> {};

TEST_P(CapacityRunTest, PicksTheCapacityOrRefuses) {
  const CapacityRun& C = GetParam();
  StartProgram();
  const std::string B = C.Button;
  (B == "128" ? Form1->rb128 : B == "160" ? Form1->rb160 : B == "256" ? Form1->RB256 : Form1->rbauto)->SetChecked(true);
  const QImage Picture = NoisyPicture(320, 480, C.NoisyRows);
  const fs::path File = Pictures() / "测试图.bmp";
  ASSERT_TRUE(Picture.save(QString::fromStdString(File.string()), "BMP"));
  Click(Form1->btnBlank, File.string());
  if (*C.Label) {
    const std::string Output = std::string("CESHITU_") + C.Label + ".supk";
    ExpectCompletion(Output, C.Label);
    const std::string Frame = ExpectedFrame(Picture);
    CheckPackage(ProgramDir / Output, C.Label, "YuanTu.bmp", File, &Frame);
    ExpectOnlyTheTools();
    EXPECT_TRUE(Form1->b_bmp0->Visible());
    EXPECT_FALSE(Form1->j_bmp0->Visible());
  } else {
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text.rfind(C.Refusal, 0), 0u) << Boxes[0].Text;
    EXPECT_EQ(Boxes[0].Type, unsigned(MB_OK));
    // Only the raw frame stays.
    EXPECT_EQ(FilesIn(ProgramDir / "temp"), (std::vector<std::string>{"gzip.exe", "tempYuanTu.bmp", "zip.exe"}));
    EXPECT_EQ(FilesIn(ProgramDir), (std::vector<std::string>{"temp", "猛虎.jpg"}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, CapacityRunTest,
    testing::Values(CapacityRun{"Small", 20, "auto", "128K", ""},
                    CapacityRun{"SmallUnder256", 20, "256", "128K", ""},
                    CapacityRun{"Medium", 230, "auto", "160K", ""},
                    CapacityRun{"MediumUnder160", 230, "160", "160K", ""},
                    CapacityRun{"Large", 330, "auto", "256K", ""},
                    CapacityRun{"MediumUnder128", 230, "128", "", "文件太大了，压缩后需要小于131064\r现尺寸为"},
                    CapacityRun{"LargeUnder160", 330, "160", "", "文件太大了，压缩后需要小于163831\r现尺寸为"},
                    CapacityRun{"Noise", 480, "auto", "", "文件太大了，压缩后需要小于262136\r现尺寸为"}),
    [](const testing::TestParamInfo<CapacityRun>& I) { return std::string(I.param.Name); });

TEST_F(RunTest, WrongSizeWarnsOnceAndGoesOn) {
  StartProgram();
  const QImage Picture = NoisyPicture(480, 320, 10);
  const fs::path File = Pictures() / "wide.bmp";
  ASSERT_TRUE(Picture.save(QString::fromStdString(File.string()), "BMP"));
  Click(Form1->btnBlank, File.string());
  ASSERT_EQ(Boxes.size(), 2u);
  EXPECT_EQ(Boxes[0].Text, "文件尺寸不对(要求480*320)，但程序继续运行，具体后果自己把握");
  ExpectCompletion("WIDE_128K.supk", "128K");
}

TEST_F(RunTest, WrongExtensionLeavesThePictureCopy) {
  StartProgram();
  const fs::path File = Pictures() / "a.png";
  ASSERT_TRUE(NoisyPicture(320, 480, 1).save(QString::fromStdString(File.string()), "PNG"));
  Click(Form1->btnBlank, File.string());
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Text, "文件格式不对！");
  EXPECT_EQ(Boxes[0].Caption, App->Title);
  EXPECT_EQ(Boxes[0].Type, unsigned(MB_OK));
  EXPECT_EQ(FilesIn(ProgramDir / "temp"), (std::vector<std::string>{"YuanTu.png", "gzip.exe", "zip.exe"}));
}

TEST_F(RunTest, MissingTypedFileIsAnOpenErrorAndNoLeftoverIsUsed) {
  StartProgram();
  // A picture copy left by an earlier run must not be packaged.
  fs::copy_file(ProgramDir / "猛虎.jpg", ProgramDir / "temp/YuanTu.jpg");
  const fs::path Missing = Pictures() / "gone.jpg";
  Click(Form1->btnBlank, Missing.string());
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Text, "Cannot open file \"" + Missing.string() + "\". No such file or directory");
  EXPECT_EQ(Boxes[0].Type, unsigned(MB_OK | MB_ICONSTOP));
  EXPECT_FALSE(fs::exists(ProgramDir / "GONE_128K.supk"));
}

TEST_F(RunTest, UndecodablePictureThenASecondRunWorks) {
  StartProgram();
  const fs::path Fake = Pictures() / "fake.bmp";
  fs::copy_file(ProgramDir / "猛虎.jpg", Fake);
  Click(Form1->btnBlank, Fake.string());
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_EQ(Boxes[0].Text, "Bitmap image is not valid");
  const fs::path Cut = Pictures() / "cut.jpg";
  WriteAll(Cut, ReadAll(ProgramDir / "猛虎.jpg").substr(0, 4000));
  Click(Form1->btnBlank, Cut.string());
  ASSERT_EQ(Boxes.size(), 2u);
  EXPECT_EQ(Boxes[1].Text.rfind("JPEG error #", 0), 0u) << Boxes[1].Text;
  Boxes.clear();
  Click(Form1->btnNoBlank, (ProgramDir / "猛虎.jpg").string());
  ExpectCompletion("MENGHU_128K.supk", "128K");
  // The failed runs' copies stay until a run of the same extension replaces them.
  EXPECT_EQ(FilesIn(ProgramDir / "temp"), (std::vector<std::string>{"YuanTu.bmp", "gzip.exe", "zip.exe"}));
}

TEST_F(RunTest, FailingZipKeepsTheEarlierPackage) {
  StartProgram();
  WriteAll(ProgramDir / "MENGHU_128K.supk", "the package of an earlier run");
  WriteAll(ProgramDir / "temp/zip.exe", "#!/bin/sh\necho 'zip I/O error: No space left on device' >&2\nexit 14\n");
  Click(Form1->btnBlank, (ProgramDir / "猛虎.jpg").string());
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_NE(Boxes[0].Text.find("zip.exe"), std::string::npos) << Boxes[0].Text;
  EXPECT_NE(Boxes[0].Text.find("14"), std::string::npos) << Boxes[0].Text;
  EXPECT_NE(Boxes[0].Text.find("No space left on device"), std::string::npos) << Boxes[0].Text;
  EXPECT_FALSE(Completed());
  EXPECT_EQ(ReadAll(ProgramDir / "MENGHU_128K.supk"), "the package of an earlier run");
}

TEST_F(RunTest, FailingGzipUsesNoStaleFrame) {
  StartProgram();
  // A compressed frame of another picture, left by an earlier run.
  WriteAll(ProgramDir / "temp/tempYuanTu.jpg.gz", ReadAll(ProgramDir / "temp/gzip.exe").substr(0, 100));
  fs::remove(ProgramDir / "temp/gzip.exe");
  Click(Form1->btnBlank, (ProgramDir / "猛虎.jpg").string());
  ASSERT_EQ(Boxes.size(), 1u);
  EXPECT_NE(Boxes[0].Text.find("gzip.exe"), std::string::npos) << Boxes[0].Text;
  EXPECT_FALSE(fs::exists(ProgramDir / "temp/logo_new.img"));
  EXPECT_FALSE(fs::exists(ProgramDir / "temp/tempYuanTu.jpg.gz"));
  EXPECT_FALSE(Completed());
}

TEST_F(RunTest, ExistingPackageIsReplaced) {
  StartProgram();
  WriteAll(ProgramDir / "MENGHU_128K.supk", "the package of an earlier run");
  Click(Form1->btnBlank, (ProgramDir / "猛虎.jpg").string());
  ExpectCompletion("MENGHU_128K.supk", "128K");
  EXPECT_EQ(Shell("unzip -tqq " + Quoted(ProgramDir / "MENGHU_128K.supk")), 0);
}

TEST_F(RunTest, ProgramDirectoryWithSpacesWorksWithBothButtons) {
  ProgramDir = ProgramDir / "my tools" / "u830 logo";
  fs::create_directories(ProgramDir);
  StartProgram();
  for (TBitBtn* Button : {Form1->btnNoBlank, Form1->btnBlank}) {
    Boxes.clear();
    Click(Button, (ProgramDir / "猛虎.jpg").string());
    ExpectCompletion("MENGHU_128K.supk", "128K");
    CheckPackage(ProgramDir / "MENGHU_128K.supk", "128K", "YuanTu.jpg", ProgramDir / "猛虎.jpg", nullptr);
    ExpectOnlyTheTools();
  }
}

TEST_F(RunTest, RunsUnderTheProgramDirectoryWhateverTheCurrentOne) {
  StartProgram();
  const fs::path Elsewhere = Pictures();
  fs::copy_file(ProgramDir / "猛虎.jpg", Elsewhere / "tiger.JPG");
  fs::current_path(Elsewhere);
  Click(Form1->btnBlank, (Elsewhere / "tiger.JPG").string());
  ExpectCompletion("TIGER_128K.supk", "128K");
  EXPECT_TRUE(fs::exists(ProgramDir / "TIGER_128K.supk"));
  EXPECT_EQ(fs::current_path(), ProgramDir);
  EXPECT_EQ(Entry(ProgramDir / "TIGER_128K.supk", "YuanTu.JPG"), ReadAll(Elsewhere / "tiger.JPG"));
}
}  // namespace

namespace {
// The package of a whole run, installed by its own updater the way the phone's recovery
// runs it, under qemu-arm: the "logo" partition must then hold its logo_new.img.
TEST_F(RunTest, PackageOfARunInstallsIntoTheLogoPartition) {
  StartProgram();
  Click(Form1->btnBlank, (ProgramDir / "猛虎.jpg").string());
  ExpectCompletion("MENGHU_128K.supk", "128K");
  const fs::path Out = Pictures() / "install";
  const int Status = Shell(std::string(U830_INSTALL_IN_QEMU) + " " + Quoted(ProgramDir / "MENGHU_128K.supk") + " " +
                           Quoted(Out) + " > " + Quoted(Pictures() / "install.log") + " 2>&1");
  if (WIFEXITED(Status) && WEXITSTATUS(Status) == 77) GTEST_SKIP() << ReadAll(Pictures() / "install.log");
  ASSERT_EQ(Status, 0) << ReadAll(Pictures() / "install.log");
  EXPECT_EQ(ReadAll(Out / "logo-partition.img").substr(0, 262144), Entry(ProgramDir / "MENGHU_128K.supk", "logo_new.img"));
  EXPECT_NE(ReadAll(Out / "pipe.txt").find("ui_print Install complete!"), std::string::npos) << ReadAll(Out / "pipe.txt");
}
}  // namespace
