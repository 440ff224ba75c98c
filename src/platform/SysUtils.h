#pragma once
// File-name functions and file-system services in the manner of the VCL and Win32, over
// POSIX. Paths use '/' as the directory separator; names are UTF-8, as on disk.
#include <string>
#include <string_view>

// The directory part, with its trailing separator ("" when there is none).
std::string ExtractFilePath(std::string_view FileName);
// What follows the last '/' (or ':', the drive separator of Windows paths).
std::string ExtractFileName(std::string_view FileName);
// From the last '.' of the file-name part, dot included; "" when there is none.
std::string ExtractFileExt(std::string_view FileName);
// Replaces the extension (an empty Extension removes it).
std::string ChangeFileExt(std::string_view FileName, std::string_view Extension);
// An absolute, '.'-free path against the current directory; the name itself is not resolved.
std::string ExpandFileName(std::string_view FileName);

// Only the ASCII letters change, whatever the locale.
std::string UpperCase(std::string_view S);
// Every occurrence of From removed or replaced, case-sensitive.
std::string StringReplaceAll(std::string_view S, std::string_view From, std::string_view To);

bool FileExists(const std::string& FileName);
bool DirectoryExists(const std::string& Dir);
// Creates Dir with any missing parents; false when it does not exist afterwards.
bool ForceDirectories(const std::string& Dir);
bool SetCurrentDir(const std::string& Dir);
std::string GetCurrentDir();
// Gives the file execute permission (rwxr-xr-x); false on failure.
bool SetExecutable(const std::string& FileName);
// False when the file could not be deleted (a missing file included).
bool DeleteFile(const std::string& FileName);

// Copies ExistingFileName over NewFileName, replacing it (FailIfExists false). Unlike the
// Win32 call, a failure raises: EFOpenError for the source, EFCreateError for the target,
// EWriteError for a short write; the source is never truncated by copying a file onto itself.
void CopyFileA(const std::string& ExistingFileName, const std::string& NewFileName, bool FailIfExists);
// Atomic replace of NewName by OldName (same file system); raises EOSError naming both.
void RenameFile(const std::string& OldName, const std::string& NewName);

// The full path of the running program file.
std::string ApplicationExeName();
