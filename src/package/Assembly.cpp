#include "Assembly.h"

#include "Classes.h"
#include "Exceptions.h"
#include "Process.h"
#include "SysUtils.h"

#include <zip.h>

#include <memory>
#include <vector>
#include <unistd.h>

namespace {
constexpr std::int64_t kLogoImageSize = 262144;
constexpr std::int64_t kVersionDescriptionSize = 248;

class EPackageError : public Exception {
public:
  EPackageError(const std::string& Package, const std::string& What)
      : Exception("生成的升级包 \"" + ExpandFileName(Package) + "\" 不完整：" + What) {}
};

struct ZipCloser {
  void operator()(zip_t* Z) const { zip_discard(Z); }
};
struct ZipFileCloser {
  void operator()(zip_file_t* F) const { zip_fclose(F); }
};

// Reads an entry whole; libzip checks its CRC when the last byte has been read.
std::vector<std::uint8_t> ReadEntry(zip_t* Archive, const std::string& Package, const std::string& Name,
                                    std::int64_t ExpectedSize) {
  zip_stat_t St;
  zip_stat_init(&St);
  if (zip_stat(Archive, Name.c_str(), 0, &St) != 0) throw EPackageError(Package, "缺少 " + Name);
  if (!(St.valid & ZIP_STAT_SIZE) || static_cast<std::int64_t>(St.size) != ExpectedSize)
    throw EPackageError(Package, Name + " 的大小为 " + std::to_string(St.size) + "，应为 " +
                                     std::to_string(ExpectedSize));
  std::unique_ptr<zip_file_t, ZipFileCloser> File(zip_fopen(Archive, Name.c_str(), 0));
  if (!File) throw EPackageError(Package, Name + " 无法读取");
  std::vector<std::uint8_t> Bytes(static_cast<std::size_t>(ExpectedSize) + 1);
  std::int64_t Got = 0;
  for (zip_int64_t N; (N = zip_fread(File.get(), Bytes.data() + Got, Bytes.size() - Got)) > 0;) Got += N;
  if (Got != ExpectedSize) throw EPackageError(Package, Name + " 的数据损坏");
  Bytes.resize(static_cast<std::size_t>(Got));
  return Bytes;
}

std::vector<std::uint8_t> ReadFile(const std::string& Path) {
  TFileStream File(Path, fmOpenRead);
  std::vector<std::uint8_t> Bytes(static_cast<std::size_t>(File.Size()));
  File.ReadBuffer(Bytes.data(), static_cast<std::int64_t>(Bytes.size()));
  return Bytes;
}

void CheckEntryEquals(zip_t* Archive, const std::string& Package, const std::string& Entry, const std::string& File) {
  const std::vector<std::uint8_t> Expected = ReadFile(File);
  if (ReadEntry(Archive, Package, Entry, static_cast<std::int64_t>(Expected.size())) != Expected)
    throw EPackageError(Package, Entry + " 与 " + ExtractFileName(File) + " 不同");
}
}  // namespace

std::string VersionDescriptionName(std::int64_t PayloadLimit) {
  if (PayloadLimit == 131064) return "version128";
  if (PayloadLimit == 163831) return "version160";
  return "version256";
}

void WriteVersionAndReadme(const RunPaths& Paths, std::int64_t PayloadLimit, const std::string& CapacityLabel) {
  TResourceStream(VersionDescriptionName(PayloadLimit), "file").SaveToFile(Paths.VersionDescription);
  TResourceStream("readme", "file").SaveToFile(Paths.ReadmeCopy(CapacityLabel));
}

void FillWorkingPackage(const RunPaths& Paths, const std::string& CapacityLabel) {
  TResourceStream("Supk", "file").SaveToFile(Paths.WorkingPackage);
  RunProgram(Paths.ZipProgram, {"-j", Paths.WorkingPackage, Paths.LogoImage, Paths.PictureCopy,
                                Paths.VersionDescription, Paths.ReadmeCopy(CapacityLabel)});
}

void VerifyPackage(const RunPaths& Paths, const std::string& Package, const std::string& CapacityLabel) {
  int Error = 0;
  std::unique_ptr<zip_t, ZipCloser> Archive(zip_open(Package.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &Error));
  if (!Archive) {
    zip_error_t E;
    zip_error_init_with_code(&E, Error);
    const std::string Why = zip_error_strerror(&E);
    zip_error_fini(&E);
    throw EPackageError(Package, "无法作为 zip 打开（" + Why + "）");
  }
  if (ReadEntry(Archive.get(), Package, "logo_new.img", kLogoImageSize) != ReadFile(Paths.LogoImage))
    throw EPackageError(Package, "logo_new.img 与 " + ExtractFileName(Paths.LogoImage) + " 不同");
  if (ReadEntry(Archive.get(), Package, "version.xml", kVersionDescriptionSize) != ReadFile(Paths.VersionDescription))
    throw EPackageError(Package, "version.xml 与 " + ExtractFileName(Paths.VersionDescription) + " 不同");
  CheckEntryEquals(Archive.get(), Package, ExtractFileName(Paths.PictureCopy), Paths.PictureCopy);
  CheckEntryEquals(Archive.get(), Package, CapacityLabel + ".txt", Paths.ReadmeCopy(CapacityLabel));
}

void PublishPackage(const RunPaths& Paths, const std::string& UpdatePackage, const std::string& CapacityLabel) {
  const std::string Partial = ExtractFilePath(UpdatePackage) + "." + ExtractFileName(UpdatePackage) + "." +
                              std::to_string(::getpid()) + ".part";
  try {
    {
      TFileStream Source(Paths.WorkingPackage, fmOpenRead);
      TFileStream Target(Partial, fmCreate);
      Target.CopyFrom(Source, 0);
      Target.Flush();
    }
    VerifyPackage(Paths, Partial, CapacityLabel);
    RenameFile(Partial, UpdatePackage);
  } catch (...) {
    DeleteFile(Partial);
    throw;
  }
}

void DeleteWorkingFiles(const RunPaths& Paths, const std::string& CapacityLabel) {
  for (const std::string& F : {Paths.VersionDescription, Paths.ReadmeCopy(CapacityLabel), Paths.LogoImage,
                               Paths.CompressedFrame, Paths.WorkingPackage, Paths.RawFrame, Paths.PictureCopy})
    DeleteFile(F);
}
