#include "Classes.h"

#include "Exceptions.h"
#include "SysUtils.h"

#include <QFile>

#include <algorithm>
#include <utility>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

std::int64_t TStream::Size() {
  const std::int64_t Here = Seek(0, soCurrent);
  const std::int64_t End = Seek(0, soEnd);
  Seek(Here, soBeginning);
  return End;
}

void TStream::ReadBuffer(void* Buffer, std::int64_t Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError();
}

void TStream::WriteBuffer(const void* Buffer, std::int64_t Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError();
}

std::int64_t TStream::CopyFrom(TStream& Source, std::int64_t Count) {
  if (Count == 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  std::vector<std::uint8_t> Block(static_cast<std::size_t>(std::min<std::int64_t>(Count, 64 * 1024)));
  std::int64_t Left = Count;
  while (Left > 0) {
    const std::int64_t N = std::min<std::int64_t>(Left, static_cast<std::int64_t>(Block.size()));
    Source.ReadBuffer(Block.data(), N);
    WriteBuffer(Block.data(), N);
    Left -= N;
  }
  return Count;
}

TFileStream::TFileStream(const std::string& FileName, unsigned Mode) : FFileName(FileName) {
  int Flags = O_CLOEXEC;
  const bool Create = (Mode & 0xFF00) == fmCreate;
  if (Create) {
    Flags |= O_RDWR | O_CREAT | O_TRUNC;
  } else {
    switch (Mode & 0x3) {
      case fmOpenWrite: Flags |= O_WRONLY; break;
      case fmOpenReadWrite: Flags |= O_RDWR; break;
      default: Flags |= O_RDONLY; break;
    }
  }
  FHandle = ::open(FileName.c_str(), Flags, 0666);
  if (FHandle < 0) {
    const int Err = errno;
    if (Create) throw EFCreateError(ExpandFileName(FileName), Err);
    throw EFOpenError(ExpandFileName(FileName), Err);
  }
  if (Create || (Mode & 0xF0) == fmShareExclusive) {
    if (::flock(FHandle, LOCK_EX | LOCK_NB) != 0) {
      const int Err = errno;
      ::close(FHandle);
      FHandle = -1;
      if (Create) throw EFCreateError(ExpandFileName(FileName), Err);
      throw EFOpenError(ExpandFileName(FileName), Err);
    }
  }
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) ::close(FHandle);
}

std::int64_t TFileStream::Read(void* Buffer, std::int64_t Count) {
  auto* P = static_cast<std::uint8_t*>(Buffer);
  std::int64_t Done = 0;
  while (Done < Count) {
    const ssize_t N = ::read(FHandle, P + Done, static_cast<std::size_t>(Count - Done));
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) break;
    Done += N;
  }
  return Done;
}

std::int64_t TFileStream::Write(const void* Buffer, std::int64_t Count) {
  const auto* P = static_cast<const std::uint8_t*>(Buffer);
  std::int64_t Done = 0;
  while (Done < Count) {
    const ssize_t N = ::write(FHandle, P + Done, static_cast<std::size_t>(Count - Done));
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) break;
    Done += N;
  }
  return Done;
}

std::int64_t TFileStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  const int Whence = Origin == soBeginning ? SEEK_SET : Origin == soCurrent ? SEEK_CUR : SEEK_END;
  return ::lseek(FHandle, Offset, Whence);
}

void TFileStream::Flush() {
  if (::fsync(FHandle) != 0) throw EWriteError();
}

TBufferedFileStream::TBufferedFileStream(const std::string& FileName, unsigned Mode, std::size_t BufferSize)
    : TFileStream(FileName, Mode), FBuffer(std::max<std::size_t>(BufferSize, 1)) {}

TBufferedFileStream::~TBufferedFileStream() {
  try {
    FlushBuffer();
  } catch (const EWriteError&) {
    // Nobody is left to tell; writers that care call FlushBuffer themselves.
  }
}

void TBufferedFileStream::FlushBuffer() {
  const std::size_t Used = std::exchange(FUsed, 0);
  if (Used > 0 && TFileStream::Write(FBuffer.data(), static_cast<std::int64_t>(Used)) != static_cast<std::int64_t>(Used))
    throw EWriteError();
}

std::int64_t TBufferedFileStream::Read(void* Buffer, std::int64_t Count) {
  FlushBuffer();
  return TFileStream::Read(Buffer, Count);
}

std::int64_t TBufferedFileStream::Write(const void* Buffer, std::int64_t Count) {
  if (Count <= 0) return 0;
  const auto N = static_cast<std::size_t>(Count);
  if (FUsed + N > FBuffer.size()) FlushBuffer();
  if (N >= FBuffer.size()) return TFileStream::Write(Buffer, Count);
  std::copy_n(static_cast<const std::uint8_t*>(Buffer), N, FBuffer.data() + FUsed);
  FUsed += N;
  return Count;
}

std::int64_t TBufferedFileStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  if (Origin == soCurrent && Offset == 0) return TFileStream::Seek(0, soCurrent) + static_cast<std::int64_t>(FUsed);
  FlushBuffer();
  return TFileStream::Seek(Offset, Origin);
}

std::int64_t TCustomMemoryStream::Read(void* Buffer, std::int64_t Count) {
  const auto Size = static_cast<std::int64_t>(FData.size());
  const std::int64_t N = std::clamp<std::int64_t>(Size - FPosition, 0, std::max<std::int64_t>(Count, 0));
  if (N > 0) std::copy_n(FData.data() + FPosition, N, static_cast<std::uint8_t*>(Buffer));
  FPosition += N;
  return N;
}

std::int64_t TCustomMemoryStream::Write(const void*, std::int64_t) { return 0; }

std::int64_t TCustomMemoryStream::Seek(std::int64_t Offset, TSeekOrigin Origin) {
  const std::int64_t Base = Origin == soBeginning ? 0
                            : Origin == soCurrent ? FPosition
                                                  : static_cast<std::int64_t>(FData.size());
  FPosition = std::max<std::int64_t>(Base + Offset, 0);
  return FPosition;
}

void TCustomMemoryStream::SaveToFile(const std::string& FileName) {
  TFileStream File(FileName, fmCreate);
  File.WriteBuffer(FData.data(), static_cast<std::int64_t>(FData.size()));
}

TResourceStream::TResourceStream(const std::string& ResName, const std::string& ResType) {
  if (UpperCase(ResType) != "FILE") throw EResNotFound(ResName);
  QFile Resource(QString::fromStdString(":/FILE/" + UpperCase(ResName)));
  if (ResName.empty() || ResName.find('/') != std::string::npos || !Resource.open(QIODevice::ReadOnly))
    throw EResNotFound(ResName);
  const QByteArray Bytes = Resource.readAll();
  FData.assign(Bytes.begin(), Bytes.end());
}
