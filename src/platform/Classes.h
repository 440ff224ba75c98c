#pragma once
// Streams in the manner of the VCL's: a file stream over a POSIX descriptor, a
// read-only memory stream over an embedded data file, and the block helpers that raise
// instead of returning short counts.
#include <cstdint>
#include <string>
#include <vector>

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream {
public:
  virtual ~TStream() = default;
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Raw transfer: the number of bytes moved, which may be short.
  virtual std::int64_t Read(void* Buffer, std::int64_t Count) = 0;
  virtual std::int64_t Write(const void* Buffer, std::int64_t Count) = 0;
  virtual std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) = 0;

  std::int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(std::int64_t Pos) { Seek(Pos, soBeginning); }
  std::int64_t Size();

  // All or nothing: EReadError / EWriteError when the count is not met.
  void ReadBuffer(void* Buffer, std::int64_t Count);
  void WriteBuffer(const void* Buffer, std::int64_t Count);

  // Copies Count bytes from Source's position (Count 0: the whole of Source from its start),
  // in blocks; returns the number copied.
  std::int64_t CopyFrom(TStream& Source, std::int64_t Count);
};

// Open modes, combinable with one share mode.
enum : unsigned {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareExclusive = 0x0010,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,  // create or truncate, read and write
};

class TFileStream : public TStream {
public:
  // Raises EFCreateError (fmCreate) or EFOpenError with the full path and the system's reason.
  // fmShareExclusive takes an exclusive advisory lock, so a second exclusive open fails.
  TFileStream(const std::string& FileName, unsigned Mode);
  ~TFileStream() override;

  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  std::int64_t Write(const void* Buffer, std::int64_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;

  const std::string& FileName() const { return FFileName; }
  // Pushes the written bytes to the disk (fsync); raises EWriteError on failure.
  void Flush();

private:
  std::string FFileName;
  int FHandle = -1;
};

// A file stream that gathers small writes in memory and hands them to the system in large
// blocks. FlushBuffer raises EWriteError when the system does not take them whole; call it
// before the file is complete, since the destructor can only drop such an error.
class TBufferedFileStream : public TFileStream {
public:
  TBufferedFileStream(const std::string& FileName, unsigned Mode, std::size_t BufferSize = 64 * 1024);
  ~TBufferedFileStream() override;

  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  std::int64_t Write(const void* Buffer, std::int64_t Count) override;
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;
  void FlushBuffer();

private:
  std::vector<std::uint8_t> FBuffer;
  std::size_t FUsed = 0;
};

// A read-only stream over bytes held in memory.
class TCustomMemoryStream : public TStream {
public:
  std::int64_t Read(void* Buffer, std::int64_t Count) override;
  std::int64_t Write(const void* Buffer, std::int64_t Count) override;  // always 0: read-only
  std::int64_t Seek(std::int64_t Offset, TSeekOrigin Origin) override;

  const std::uint8_t* Memory() const { return FData.data(); }
  // Writes the whole stream to FileName, replacing an existing file completely.
  void SaveToFile(const std::string& FileName);

protected:
  std::vector<std::uint8_t> FData;
  std::int64_t FPosition = 0;
};

// An embedded data file, found by its name in any letter case ("Supk" finds SUPK).
// Type is the resource type; only "file" (any case) is stored. Raises EResNotFound.
class TResourceStream : public TCustomMemoryStream {
public:
  TResourceStream(const std::string& ResName, const std::string& ResType);
};
