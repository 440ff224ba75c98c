#pragma once
// Assembly of the update package: the capacity's version description and readme, the template
// package filled by the zip program, and the finished package published under its name.
#include "RunPaths.h"

#include <cstdint>
#include <string>

// "version128", "version160" or "version256" by the capacity's payload limit.
std::string VersionDescriptionName(std::int64_t PayloadLimit);

// Writes the version description for the capacity and then the readme copy.
void WriteVersionAndReadme(const RunPaths& Paths, std::int64_t PayloadLimit, const std::string& CapacityLabel);

// Writes the template package as the working package and has the zip program put the logo
// image, the picture copy, the version description and the readme copy into it (waited for,
// its status checked).
void FillWorkingPackage(const RunPaths& Paths, const std::string& CapacityLabel);

// Raises EPackageError unless Package opens as a zip archive whose entries "logo_new.img"
// (262144 bytes, equal to the logo image), "version.xml" (248 bytes), the picture copy's and
// the readme's, each as large as its file, read back with their checksums intact.
void VerifyPackage(const RunPaths& Paths, const std::string& Package, const std::string& CapacityLabel);

// Copies the working package to a temporary name beside the update package, checks it, and
// renames it over the update package; an earlier package of that name stays untouched until
// then, and no partial package is ever left under the name.
void PublishPackage(const RunPaths& Paths, const std::string& UpdatePackage, const std::string& CapacityLabel);

// Deletes the working files of a finished run, in the order of the run's clean-up.
void DeleteWorkingFiles(const RunPaths& Paths, const std::string& CapacityLabel);
