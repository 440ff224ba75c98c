#pragma once
// The logo slot's capacities and the choice among them from the radio buttons and the
// compressed frame's size L.
#include <cstdint>
#include <string>
#include <string_view>

struct TCapacity {
  std::string_view Label;     // "128K", "160K", "256K": names the readme copy and the output
  std::int64_t PayloadLimit;  // room for the compressed frame behind the 8-byte header
};

inline constexpr TCapacity kCapacity128K{"128K", 131064};
inline constexpr TCapacity kCapacity160K{"160K", 163831};  // ends one byte before 163840
inline constexpr TCapacity kCapacity256K{"256K", 262136};

struct TCapacityChoice {
  bool Accepted;
  // Accepted: the capacity to use. Refused: the largest capacity the buttons allow, whose
  // limit the refusal message names.
  TCapacity Capacity;
};

// The checked states of rbauto, RB256 and rb160, tested in that order (rb128 is never read:
// with none of the three checked only "128K" is allowed). The smallest allowed capacity whose
// limit L is below is taken, so a frame of exactly a limit moves on to the next allowed
// capacity and always leaves at least one 0xFF byte behind it; it is refused only where no
// capacity is left.
TCapacityChoice ChooseCapacity(bool AutoChecked, bool Rb256Checked, bool Rb160Checked, std::int64_t L);

// "文件太大了，压缩后需要小于" + limit + "\r" + "现尺寸为" + L.
std::string TooLargeMessage(std::int64_t PayloadLimit, std::int64_t L);
