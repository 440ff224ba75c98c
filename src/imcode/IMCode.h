// GBK file names to pinyin letters, for the name of the update package.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Option bits of GetPinyin. Bits other than these have no effect, but a negative value
// (bit 31 set) gives the empty string.
inline constexpr std::int32_t pyFullSyllable = 1; // whole syllable, not only its first letter
inline constexpr std::int32_t pyMarkMissing = 2;  // "?" for a double-byte character without a conversion
inline constexpr std::int32_t pyKeepOthers = 4;   // keep single bytes and full-width ASCII that are not letters or digits

// Converts Text, read as code page 936 (GBK), and returns at most MaxLength bytes:
// Chinese characters become their syllable in capitals (or its first letter), numbered
// symbols their number, Greek letters Latin capitals, full-width ASCII plain ASCII.
// Text need not be valid GBK; every byte string has a result. Pure and thread-safe.
std::string GetPinyin(std::string_view Text, std::int32_t Options, std::int32_t MaxLength);

// Syllables in lowercase, without tone, ü written v (but lue, nue). They are numbered 1 to
// 405 as PinyinIndex refers to them; slot 0 is the "no reading" value of PinyinIndex and
// is empty, as is entry 394. The letters of every entry are followed by zero bytes up to
// PinyinSyllableStride bytes from its start, so that an entry can be copied as one word.
inline constexpr std::size_t PinyinSyllableCount = 405;
inline constexpr std::size_t PinyinSyllableStride = 8;
extern const std::array<std::string_view, PinyinSyllableCount + 1> PinyinSyllables;

// Number of the reading of every double-byte pair, 0 for none: one row per lead byte
// 0x81 to 0xFE, one cell per trail byte 0x40 to 0xFE (0x7F included), row after row.
inline constexpr unsigned PinyinIndexFirstLead = 0x81;
inline constexpr unsigned PinyinIndexFirstTrail = 0x40;
inline constexpr std::size_t PinyinIndexRows = 126;
inline constexpr std::size_t PinyinIndexColumns = 191;
extern const std::array<std::uint16_t, PinyinIndexRows * PinyinIndexColumns> PinyinIndex;

// Decimal number of each cell of the row of numbered symbols (lead 0xA2, trail bytes
// 0xA1 to 0xFE); empty where the cell holds no numbered symbol.
extern const std::array<std::string_view, 94> NumeralTable;

// Latin letters for the Greek alphabet in its order: capitals are the trail bytes 0xA1 to
// 0xB8 of the lead 0xA6, small letters 0xC1 to 0xD8.
extern const std::array<std::string_view, 24> GreekTable;
