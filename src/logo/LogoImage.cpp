#include "LogoImage.h"

#include "Exceptions.h"

#include <algorithm>
#include <array>
#include <vector>

std::string LogoImagePath(const std::string& BasePath) { return BasePath + "temp/logo_new.img"; }

void WriteLogoImage(TStream& BaseImage, TStream& CompressedFrame, const TCapacity& Capacity,
                    const std::string& FileName) {
  if (const std::int64_t BaseSize = BaseImage.Size(); BaseSize != kLogoImageSize)
    throw EStreamError("基础 logo 映像的大小不对（" + std::to_string(BaseSize) + " 字节，应为 262144 字节）");
  const std::int64_t L = CompressedFrame.Size();
  if (L < 0 || L >= Capacity.PayloadLimit || 8 + Capacity.PayloadLimit > kLogoImageSize)
    throw EStreamError("压缩后的文件（" + std::to_string(L) + " 字节）放不进 " + std::string(Capacity.Label) +
                       " 的 logo 分区");

  TFileStream Image(FileName, fmCreate);
  Image.CopyFrom(BaseImage, 0);
  Image.SetPosition(0);
  CompressedFrame.SetPosition(0);

  const auto Size = static_cast<std::uint32_t>(L);
  const std::array<std::uint8_t, 8> Header{
      'O', 'G', 'O', 'L',
      static_cast<std::uint8_t>(Size & 0xFF), static_cast<std::uint8_t>((Size >> 8) & 0xFF),
      static_cast<std::uint8_t>((Size >> 16) & 0xFF), static_cast<std::uint8_t>((Size >> 24) & 0xFF)};
  Image.WriteBuffer(Header.data(), Header.size());
  if (L > 0) Image.CopyFrom(CompressedFrame, L);  // 0 would mean the whole stream
  const std::vector<std::uint8_t> Fill(static_cast<std::size_t>(Capacity.PayloadLimit - L), 0xFF);
  Image.WriteBuffer(Fill.data(), static_cast<std::int64_t>(Fill.size()));
}
