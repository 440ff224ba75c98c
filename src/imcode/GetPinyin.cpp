#include "IMCode.h"

#include <algorithm>
#include <cstring>

namespace {

// Bytes, not the C library's character classes: the result must not depend on the locale.
constexpr bool IsAsciiAlnum(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

constexpr char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
}

// AsciiUpper on each byte of a word at once.
constexpr std::uint64_t AsciiUpperWord(std::uint64_t word)
{
    constexpr std::uint64_t ones = 0x0101010101010101;
    constexpr std::uint64_t highs = 0x8080808080808080;
    // Without their high bit, byte + 0x1F and byte + 0x05 stay below 0x100, so no carry
    // crosses bytes; the high bit of each sum tells >= 'a' and > 'z'.
    const std::uint64_t low7 = word & ~highs;
    const std::uint64_t atLeastA = low7 + (0x80 - 'a') * ones;
    const std::uint64_t aboveZ = low7 + (0x80 - 'z' - 1) * ones;
    const std::uint64_t lower = atLeastA & ~aboveZ & ~word & highs;
    return word ^ (lower >> 2); // 0x80 >> 2 is the case bit 0x20
}

static_assert(AsciiUpperWord(0x607A61415A7B00FF) == 0x605A41415A7B00FF);

// Writes through a raw pointer into room made beforehand: per-byte push_back costs more
// than the conversion itself.
char* CopyUpper(char* out, std::string_view piece)
{
    for (char c : piece)
        *out++ = AsciiUpper(c);
    return out;
}

char* Copy(char* out, std::string_view piece)
{
    for (char c : piece)
        *out++ = c;
    return out;
}

// A whole syllable as one word, padding included, so that its length costs no branch;
// the caller leaves PinyinSyllableStride bytes of room.
char* CopySyllableUpper(char* out, std::string_view syllable)
{
    std::uint64_t word = 0;
    static_assert(sizeof word == PinyinSyllableStride);
    std::memcpy(&word, syllable.data(), sizeof word);
    word = AsciiUpperWord(word);
    std::memcpy(out, &word, sizeof word);
    return out + syllable.size();
}

constexpr unsigned char NumeralLead = 0xA2;
constexpr unsigned char FullWidthLead = 0xA3;
constexpr unsigned char GreekLead = 0xA6;

// Greek capitals and small letters in row 0xA6.
constexpr unsigned GreekCapitalFirst = 0xA1;
constexpr unsigned GreekSmallFirst = 0xC1;

// Writes the conversion of the double-byte pair (b1, b2); nullptr when the pair has none.
char* ConvertPair(char* out, unsigned b1, unsigned b2, std::int32_t options)
{
    switch (b1) {
    case NumeralLead:
        if (b2 < 0xA1 || b2 > 0xFE)
            return nullptr;
        // Empty cells give nothing, not even a mark: they are not characters with a number.
        return Copy(out, NumeralTable[b2 - 0xA1]);
    case FullWidthLead: {
        const auto c = static_cast<unsigned char>(b2 - 0x80);
        *out = static_cast<char>(c);
        return out + ((options & pyKeepOthers) != 0 || IsAsciiAlnum(c));
    }
    case GreekLead:
        if (b2 >= GreekCapitalFirst && b2 < GreekCapitalFirst + GreekTable.size())
            return CopyUpper(out, GreekTable[b2 - GreekCapitalFirst]);
        if (b2 >= GreekSmallFirst && b2 < GreekSmallFirst + GreekTable.size())
            return CopyUpper(out, GreekTable[b2 - GreekSmallFirst]);
        return nullptr;
    default:
        break;
    }
    // Lead 0xFF and trail 0xFF have no row or column in the index.
    if (b1 >= PinyinIndexFirstLead + PinyinIndexRows || b2 >= PinyinIndexFirstTrail + PinyinIndexColumns)
        return nullptr;
    const std::uint16_t cell =
        PinyinIndex[(b1 - PinyinIndexFirstLead) * PinyinIndexColumns + (b2 - PinyinIndexFirstTrail)];
    if (cell == 0)
        return nullptr;
    const std::string_view syllable = PinyinSyllables[cell];
    if ((options & pyFullSyllable) != 0)
        return CopySyllableUpper(out, syllable);
    // The padding makes the first byte readable even of the empty entry 394, which gives nothing.
    *out = AsciiUpper(syllable.data()[0]);
    return out + !syllable.empty();
}

} // namespace

std::string GetPinyin(std::string_view Text, std::int32_t Options, std::int32_t MaxLength)
{
    std::string result;
    // Cutting to MaxLength can only leave nothing here, so the text need not be read.
    if (Options < 0 || MaxLength <= 0)
        return result;

    // A pair gives at most 6 bytes and a single byte 1: three times the text, plus room for
    // the whole word of a syllable, is made once.
    constexpr std::size_t MaxGrowth = 3;
    const std::size_t size = Text.size();
    if (size > (result.max_size() - PinyinSyllableStride) / MaxGrowth)
        return result; // no such text fits in memory
    result.resize(size * MaxGrowth + PinyinSyllableStride);

    const bool keepOthers = (Options & pyKeepOthers) != 0;
    const bool markMissing = (Options & pyMarkMissing) != 0;
    char* const start = result.data();
    char* out = start;
    std::size_t p = 0;
    while (p < size) {
        const auto b1 = static_cast<unsigned char>(Text[p]);
        // Past the end stands the terminating zero of the text, which ends no pair.
        const auto b2 = p + 1 < size ? static_cast<unsigned char>(Text[p + 1]) : 0u;
        if (b1 < 0x81 || b2 < 0x40) {
            *out = AsciiUpper(static_cast<char>(b1));
            out += keepOthers || IsAsciiAlnum(b1);
            p += 1;
            continue;
        }
        if (char* next = ConvertPair(out, b1, b2, Options)) {
            out = next;
        } else {
            *out = '?';
            out += markMissing;
        }
        p += 2;
    }

    // The whole text is converted first: the cut is on the result, never on the text.
    const auto length = static_cast<std::size_t>(out - start);
    result.resize(std::min(length, static_cast<std::size_t>(MaxLength)));
    return result;
}
