#include "PictureIntake.h"

#include "SysUtils.h"

TPictureKind PictureKindOf(std::string_view Path) {
  const std::string Ext = UpperCase(ExtractFileExt(Path));
  if (Ext == ".BMP") return TPictureKind::Bmp;
  if (Ext == ".JPG") return TPictureKind::Jpeg;
  return TPictureKind::Refused;
}

bool SizeWarningDue(int Width, int Height) {
  if (Width != kFrameWidth) return true;
  return Height != kFrameHeight;
}

void DrawIntoWorkBitmap(TBitmap& Work, const TGraphic& Source) {
  Work.SetHeight(Source.Height());
  Work.SetWidth(Source.Width());
  Work.SetPixelFormat(pf24bit);
  Work.Canvas()->Draw(0, 0, Source);
}
