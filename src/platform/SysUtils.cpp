#include "SysUtils.h"

#include "Classes.h"
#include "Exceptions.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
std::size_t LastDelimiter(std::string_view S, std::string_view Delimiters) {
  return S.find_last_of(Delimiters);
}
}  // namespace

std::string ExtractFilePath(std::string_view FileName) {
  const std::size_t I = LastDelimiter(FileName, "/:");
  return I == std::string_view::npos ? std::string() : std::string(FileName.substr(0, I + 1));
}

std::string ExtractFileName(std::string_view FileName) {
  const std::size_t I = LastDelimiter(FileName, "/:");
  return std::string(I == std::string_view::npos ? FileName : FileName.substr(I + 1));
}

std::string ExtractFileExt(std::string_view FileName) {
  const std::size_t I = LastDelimiter(FileName, "./:");
  if (I == std::string_view::npos || FileName[I] != '.') return {};
  return std::string(FileName.substr(I));
}

std::string ChangeFileExt(std::string_view FileName, std::string_view Extension) {
  const std::size_t I = LastDelimiter(FileName, "./:");
  const std::string_view Stem =
      (I == std::string_view::npos || FileName[I] != '.') ? FileName : FileName.substr(0, I);
  return std::string(Stem) + std::string(Extension);
}

std::string ExpandFileName(std::string_view FileName) {
  std::filesystem::path P(FileName);
  if (P.is_relative()) P = std::filesystem::path(GetCurrentDir()) / P;
  return P.lexically_normal().string();
}

std::string UpperCase(std::string_view S) {
  std::string R(S);
  for (char& C : R)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return R;
}

std::string StringReplaceAll(std::string_view S, std::string_view From, std::string_view To) {
  if (From.empty()) return std::string(S);
  std::string R;
  R.reserve(S.size());
  std::size_t Pos = 0;
  for (std::size_t Hit; (Hit = S.find(From, Pos)) != std::string_view::npos; Pos = Hit + From.size())
    R.append(S.substr(Pos, Hit - Pos)).append(To);
  R.append(S.substr(Pos));
  return R;
}

bool FileExists(const std::string& FileName) {
  struct stat St {};
  return ::stat(FileName.c_str(), &St) == 0 && !S_ISDIR(St.st_mode);
}

bool DirectoryExists(const std::string& Dir) {
  struct stat St {};
  return ::stat(Dir.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

bool ForceDirectories(const std::string& Dir) {
  std::error_code Ec;
  std::filesystem::create_directories(Dir, Ec);
  return DirectoryExists(Dir);
}

bool SetCurrentDir(const std::string& Dir) { return ::chdir(Dir.c_str()) == 0; }

std::string GetCurrentDir() {
  std::vector<char> Buffer(PATH_MAX);
  if (::getcwd(Buffer.data(), Buffer.size()) == nullptr) return ".";
  return Buffer.data();
}

bool SetExecutable(const std::string& FileName) { return ::chmod(FileName.c_str(), 0755) == 0; }

bool DeleteFile(const std::string& FileName) { return ::unlink(FileName.c_str()) == 0; }

void CopyFileA(const std::string& ExistingFileName, const std::string& NewFileName, bool FailIfExists) {
  TFileStream Source(ExistingFileName, fmOpenRead);
  struct stat From {}, To {};
  if (::stat(ExistingFileName.c_str(), &From) != 0 || !S_ISREG(From.st_mode))
    throw EFOpenError(ExpandFileName(ExistingFileName), S_ISDIR(From.st_mode) ? EISDIR : EINVAL);
  if (::stat(NewFileName.c_str(), &To) == 0) {
    if (From.st_dev == To.st_dev && From.st_ino == To.st_ino) return;  // already in place
    if (FailIfExists) throw EFCreateError(ExpandFileName(NewFileName), EEXIST);
  }
  TFileStream Target(NewFileName, fmCreate);
  Target.CopyFrom(Source, 0);
}

void RenameFile(const std::string& OldName, const std::string& NewName) {
  if (std::rename(OldName.c_str(), NewName.c_str()) != 0) {
    const int Err = errno;
    throw EOSError("无法将 \"" + ExpandFileName(OldName) + "\" 改名为 \"" + ExpandFileName(NewName) +
                   "\"。" + SysErrorMessage(Err));
  }
}

std::string ApplicationExeName() {
  std::vector<char> Buffer(PATH_MAX + 1);
  const ssize_t N = ::readlink("/proc/self/exe", Buffer.data(), PATH_MAX);
  return N > 0 ? std::string(Buffer.data(), static_cast<std::size_t>(N)) : std::string();
}
