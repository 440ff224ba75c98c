#pragma once
// Scratch directories and whole-file helpers for tests.
#include <cstdint>
#include <string>
#include <vector>

using TBytes = std::vector<std::uint8_t>;

// A fresh directory under /tmp, removed with everything in it when the object goes.
class TTempDir {
public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  // With a trailing '/'.
  const std::string& Path() const { return FPath; }

private:
  std::string FPath;
};

void WriteBytes(const std::string& FileName, const TBytes& Bytes);
TBytes ReadBytes(const std::string& FileName);
// Writes Text and makes the file executable (a stand-in program).
void WriteScript(const std::string& FileName, const std::string& Text);
// Open descriptors of this process, to catch a stream left open.
int OpenDescriptorCount();
// Deterministic bytes for synthetic files.
TBytes PseudoRandomBytes(std::size_t Count, std::uint32_t Seed);
