#pragma once
// The paths of one generation run: every working file lies in base path + "temp/", and the
// update package in the base path itself.
#include <string>

struct RunPaths {
  // BasePath ends in '/': the program directory, or "./" for the relative mode.
  // PickedFile gives the picture copy its extension, as it stands.
  RunPaths(std::string BasePath, const std::string& PickedFile);

  std::string BasePath;
  std::string WorkDir;             // base path + "temp"
  std::string ZipProgram;          // temp/zip.exe
  std::string PictureCopy;         // temp/YuanTu + extension
  std::string RawFrame;            // temp/temp + the picture copy's file name
  std::string CompressedFrame;     // the raw frame + ".gz"
  std::string VersionDescription;  // temp/version.xml
  std::string LogoImage;           // temp/logo_new.img
  std::string WorkingPackage;      // temp/tempSupk.zip

  // temp/ + capacity label + ".txt"
  std::string ReadmeCopy(const std::string& Label) const;
  // base path + output name
  std::string UpdatePackage(const std::string& OutputName) const;
};
