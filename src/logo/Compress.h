#pragma once
// The gzip step: the raw frame compressed by base path + "temp/gzip.exe" into the compressed
// frame beside it (raw frame path + ".gz").
#include "Classes.h"

#include <chrono>
#include <memory>
#include <string>

// The compressed frame's path for a raw frame.
std::string CompressedFramePath(const std::string& RawFramePath);

// Deletes a compressed frame left by an earlier run (EOSError when one stays), runs gzip with
// "-fkq9" and the raw frame's path as separate arguments and waits for it (EProgramError when
// it cannot start, fails or overruns Timeout), then opens the compressed frame read-only for
// exclusive use (EFOpenError when gzip left none). The caller holds the stream through the
// capacity choice and the logo image.
std::unique_ptr<TFileStream> CompressFrame(const std::string& BasePath, const std::string& RawFramePath,
                                           std::chrono::milliseconds Timeout = std::chrono::seconds(60));
