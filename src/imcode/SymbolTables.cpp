#include "IMCode.h"

// Row 0xA2, trail bytes 0xA1 to 0xFE.
constexpr std::array<std::string_view, 94> NumeralTable = {
    // 0xA1-0xAA: small Roman numerals i to x
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
    // 0xAB-0xB0: no character
    "", "", "", "", "", "",
    // 0xB1-0xC4: numbers with a full stop, 1. to 20.
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
    "11", "12", "13", "14", "15", "16", "17", "18", "19", "20",
    // 0xC5-0xD8: numbers in parentheses, (1) to (20)
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
    "11", "12", "13", "14", "15", "16", "17", "18", "19", "20",
    // 0xD9-0xE2: circled numbers 1 to 10
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
    // 0xE3-0xE4: no character
    "", "",
    // 0xE5-0xEE: ideographs one to ten in parentheses
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "10",
    // 0xEF-0xF0: no character
    "", "",
    // 0xF1-0xFC: Roman numerals I to XII
    "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12",
    // 0xFD-0xFE: no character
    "", "",
};

// Alpha to omega; row 0xA6 has no final sigma, so capitals and small letters line up.
constexpr std::array<std::string_view, 24> GreekTable = {
    "a", "b", "g", "d", "e", "z", "e", "th", "i", "k", "l", "m",
    "n", "x", "o", "p", "r", "s", "t", "u", "ph", "kh", "ps", "o",
};
