#include "Exceptions.h"

#include <cstring>

std::string SysErrorMessage(int Errno) {
  char buffer[256];
  // GNU strerror_r returns a pointer that may or may not point into buffer.
  return strerror_r(Errno, buffer, sizeof buffer);
}

EFCreateError::EFCreateError(const std::string& FileName, int Errno)
    : EStreamError("Cannot create file \"" + FileName + "\". " + SysErrorMessage(Errno)) {}

EFOpenError::EFOpenError(const std::string& FileName, int Errno)
    : EStreamError("Cannot open file \"" + FileName + "\". " + SysErrorMessage(Errno)) {}
