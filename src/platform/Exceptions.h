#pragma once
// The platform's errors. Each carries the text that the error box shows; the application's
// default exception handler (TApplication) displays Message() as it stands.
#include <exception>
#include <string>

class Exception : public std::exception {
public:
  explicit Exception(std::string Message) : FMessage(std::move(Message)) {}
  const char* what() const noexcept override { return FMessage.c_str(); }
  const std::string& Message() const noexcept { return FMessage; }

private:
  std::string FMessage;
};

class EStreamError : public Exception { using Exception::Exception; };

// "Cannot create file "%s". %s": full path and the system's reason.
class EFCreateError : public EStreamError {
public:
  EFCreateError(const std::string& FileName, int Errno);
};

// "Cannot open file "%s". %s"
class EFOpenError : public EStreamError {
public:
  EFOpenError(const std::string& FileName, int Errno);
};

// "Stream write error": a write that did not take all its bytes.
class EWriteError : public EStreamError {
public:
  EWriteError() : EStreamError("Stream write error") {}
};

// "Stream read error": a read that did not deliver all the bytes asked for.
class EReadError : public EStreamError {
public:
  EReadError() : EStreamError("Stream read error") {}
};

// "Resource %s not found" with the name as the caller spelt it.
class EResNotFound : public Exception {
public:
  explicit EResNotFound(const std::string& Name) : Exception("Resource " + Name + " not found") {}
};

// A picture that its picture object cannot read.
class EInvalidGraphic : public Exception { using Exception::Exception; };

// An external program that could not start, failed, or did not end in time.
class EProgramError : public Exception { using Exception::Exception; };

// An operating-system call that failed where the run cannot go on (rename, copy).
class EOSError : public Exception { using Exception::Exception; };

// The system's text for an errno value, as strerror gives it.
std::string SysErrorMessage(int Errno);
