#include "TestFiles.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <stdlib.h>
#include <sys/stat.h>

TTempDir::TTempDir() {
  std::string Template = (std::filesystem::temp_directory_path() / "u830logo-test-XXXXXX").string();
  if (::mkdtemp(Template.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  FPath = Template + "/";
}

TTempDir::~TTempDir() {
  std::error_code Ec;
  std::filesystem::remove_all(FPath, Ec);
}

void WriteBytes(const std::string& FileName, const TBytes& Bytes) {
  std::ofstream Out(FileName, std::ios::binary | std::ios::trunc);
  Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
  if (!Out) throw std::runtime_error("cannot write " + FileName);
}

TBytes ReadBytes(const std::string& FileName) {
  std::ifstream In(FileName, std::ios::binary);
  if (!In) throw std::runtime_error("cannot read " + FileName);
  return TBytes(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

void WriteScript(const std::string& FileName, const std::string& Text) {
  WriteBytes(FileName, TBytes(Text.begin(), Text.end()));
  ::chmod(FileName.c_str(), 0755);
}

int OpenDescriptorCount() {
  int N = 0;
  for ([[maybe_unused]] const auto& Entry : std::filesystem::directory_iterator("/proc/self/fd")) ++N;
  return N;
}

TBytes PseudoRandomBytes(std::size_t Count, std::uint32_t Seed) {
  TBytes R(Count);
  std::uint32_t X = Seed ? Seed : 1;
  for (auto& B : R) {
    X ^= X << 13;
    X ^= X >> 17;
    X ^= X << 5;
    B = static_cast<std::uint8_t>(X >> 24);
  }
  return R;
}
