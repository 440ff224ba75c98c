#pragma once
// The logo image: the base logo image with its first slot rewritten as "OGOL", the
// compressed frame's size L (32 bits, little-endian), the compressed frame, and 0xFF up to
// offset 8 + limit; the bytes after the slot keep the base image's content.
#include "Capacity.h"
#include "Classes.h"

#include <cstdint>
#include <string>

inline constexpr std::int64_t kLogoImageSize = 262144;

// base path + "temp/logo_new.img"
std::string LogoImagePath(const std::string& BasePath);

// Writes the logo image to FileName (created or replaced). BaseImage is the base logo image
// (TResourceStream("logo_new", "file") in the program), read whole from its start;
// CompressedFrame is read from its start for its whole size L, which must be below the
// capacity's limit. Raises EStreamError for a base image that is not 262144 bytes or a frame
// that does not fit, EReadError for a frame that ends early, EWriteError ("Stream write error") for any write not taken whole,
// EFCreateError. The logo image is closed on return, whatever happens.
void WriteLogoImage(TStream& BaseImage, TStream& CompressedFrame, const TCapacity& Capacity,
                    const std::string& FileName);
