#include "AppTestSupport.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <unistd.h>

std::string ReadAll(const fs::path& P) {
  std::ifstream In(P, std::ios::binary);
  return {std::istreambuf_iterator<char>(In), {}};
}

void WriteAll(const fs::path& P, const std::string& Bytes) {
  std::ofstream Out(P, std::ios::binary | std::ios::trunc);
  Out << Bytes;
}

std::string ResourceBytes(const char* UpperName) {
  QFile F(QString(":/FILE/") + UpperName);
  if (!F.open(QIODevice::ReadOnly)) return {};
  return F.readAll().toStdString();
}

std::vector<std::string> FilesIn(const fs::path& Dir) {
  std::vector<std::string> Names;
  for (const auto& E : fs::directory_iterator(Dir)) Names.push_back(E.path().filename().string());
  std::sort(Names.begin(), Names.end());
  return Names;
}

void WindowFixture::SetUp() {
  const std::string Name = testing::UnitTest::GetInstance()->current_test_info()->name();
  std::string Safe;
  for (char C : Name) Safe += (std::isalnum(static_cast<unsigned char>(C)) ? C : '_');
  ProgramDir = fs::temp_directory_path() / ("u830-app-" + std::to_string(::getpid())) / Safe;
  fs::remove_all(ProgramDir);
  fs::create_directories(ProgramDir);
  Seam::Hooks H;
  H.OpenDialog = [this](const TOpenPictureDialog&) {
    ++DialogsShown;
    return NextAnswer;
  };
  H.MessageBox = [this](const Seam::MessageBoxRecord& R) { Boxes.push_back(R); };
  H.ShellExecute = [this](const std::string& File) { Opened.push_back(File); };
  SeamScope = std::make_unique<Seam::Scope>(std::move(H));
}

void WindowFixture::TearDown() {
  CloseProgram();
  SeamScope.reset();
  std::error_code Ec;
  fs::current_path(fs::temp_directory_path(), Ec);
  fs::remove_all(ProgramDir, Ec);
}

void WindowFixture::StartProgram() {
  App = std::make_unique<TApplication>();
  App->ExeName = (ProgramDir / "u830logo").string();
  App->Initialize();
  App->CreateForm(Form1);
}

void WindowFixture::CloseProgram() {
  if (!App) return;
  Form1->Close();
  App.reset();
  Form1 = nullptr;
}

void WindowFixture::Click(TBitBtn* Button, std::optional<std::string> Answer) {
  NextAnswer = std::move(Answer);
  static_cast<QPushButton*>(Button->Widget())->click();
}
