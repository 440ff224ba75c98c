#pragma once
// The picture's way in: which picture object reads it (by its extension alone), drawing it
// into the 24-bit working bitmap, and the size warning.
#include "Graphics.h"

#include <string_view>

enum class TPictureKind { Bmp, Jpeg, Refused };

inline constexpr std::string_view kWrongFormatMessage = "文件格式不对！";
inline constexpr std::string_view kWrongSizeMessage =
    "文件尺寸不对(要求480*320)，但程序继续运行，具体后果自己把握";

// The phone's screen.
inline constexpr int kFrameWidth = 320;
inline constexpr int kFrameHeight = 480;

// ".BMP" or ".JPG" after upper-casing a-z, the extension running from a '.' that is the last
// of '.', '/' and ':' in Path; anything else (".jpeg", ".png", none) is refused.
TPictureKind PictureKindOf(std::string_view Path);

// True when the size warning is due: the width is tested first, then the height, and either
// gives the one warning.
bool SizeWarningDue(int Width, int Height);

// Makes Work a 24-bit copy of Source at Source's size: Height, then Width, then pf24bit, then
// Source drawn at (0, 0).
void DrawIntoWorkBitmap(TBitmap& Work, const TGraphic& Source);
