#pragma once
// A program directory of its own for each test, the window built in it, and the seam's
// answers and records.
#include "Unit1.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& P);
void WriteAll(const fs::path& P, const std::string& Bytes);
std::string ResourceBytes(const char* UpperName);
std::vector<std::string> FilesIn(const fs::path& Dir);

class WindowFixture : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Builds the window as the entry point does, with the program directory ProgramDir.
  void StartProgram();
  void CloseProgram();
  // Clicks a generate button; the dialog answers Answer (nullopt: cancel).
  void Click(TBitBtn* Button, std::optional<std::string> Answer);

  fs::path ProgramDir;  // ends without a separator
  std::vector<Seam::MessageBoxRecord> Boxes;
  std::vector<std::string> Opened;
  std::unique_ptr<TApplication> App;
  std::unique_ptr<Seam::Scope> SeamScope;
  std::optional<std::string> NextAnswer;
  int DialogsShown = 0;
};
