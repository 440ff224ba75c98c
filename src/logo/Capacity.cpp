#include "Capacity.h"

#include <array>
#include <span>

TCapacityChoice ChooseCapacity(bool AutoChecked, bool Rb256Checked, bool Rb160Checked, std::int64_t L) {
  static constexpr std::array<TCapacity, 3> kAll{kCapacity128K, kCapacity160K, kCapacity256K};
  std::size_t Allowed = 1;
  if (AutoChecked || Rb256Checked)
    Allowed = 3;
  else if (Rb160Checked)
    Allowed = 2;
  for (const TCapacity& C : std::span(kAll).first(Allowed))
    if (L < C.PayloadLimit) return {true, C};
  return {false, kAll[Allowed - 1]};
}

std::string TooLargeMessage(std::int64_t PayloadLimit, std::int64_t L) {
  return "文件太大了，压缩后需要小于" + std::to_string(PayloadLimit) + "\r" + "现尺寸为" + std::to_string(L);
}
