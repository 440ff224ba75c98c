#include "Compress.h"

#include "Exceptions.h"
#include "Process.h"
#include "SysUtils.h"

#include <cerrno>
#include <unistd.h>

std::string CompressedFramePath(const std::string& RawFramePath) { return RawFramePath + ".gz"; }

std::unique_ptr<TFileStream> CompressFrame(const std::string& BasePath, const std::string& RawFramePath,
                                           std::chrono::milliseconds Timeout) {
  const std::string Compressed = CompressedFramePath(RawFramePath);
  // A frame of an earlier run must never stand in for this one, should gzip fail.
  if (!DeleteFile(Compressed) && errno != ENOENT) {
    const int Err = errno;
    if (::access(Compressed.c_str(), F_OK) == 0)
      throw EOSError("无法删除上次留下的压缩文件 \"" + ExpandFileName(Compressed) + "\"。" + SysErrorMessage(Err));
  }
  RunProgram(BasePath + "temp/gzip.exe", {"-fkq9", RawFramePath}, Timeout);
  return std::make_unique<TFileStream>(Compressed, fmOpenRead | fmShareExclusive);
}
