#include "RunPaths.h"

#include "Compress.h"
#include "LogoImage.h"
#include "SysUtils.h"

RunPaths::RunPaths(std::string Base, const std::string& PickedFile)
    : BasePath(std::move(Base)),
      WorkDir(BasePath + "temp"),
      ZipProgram(BasePath + "temp/zip.exe"),
      PictureCopy(BasePath + "temp/YuanTu" + ExtractFileExt(PickedFile)),
      RawFrame(BasePath + "temp/temp" + ExtractFileName(PictureCopy)),
      CompressedFrame(CompressedFramePath(RawFrame)),
      VersionDescription(BasePath + "temp/version.xml"),
      LogoImage(LogoImagePath(BasePath)),
      WorkingPackage(BasePath + "temp/tempSupk.zip") {}

std::string RunPaths::ReadmeCopy(const std::string& Label) const { return BasePath + "temp/" + Label + ".txt"; }

std::string RunPaths::UpdatePackage(const std::string& OutputName) const { return BasePath + OutputName; }
