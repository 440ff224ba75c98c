#include "IMCode.h"

namespace {

// PinyinIndex is numbered by this order, out-of-place entries included: do not sort it.
// tools/pinyin/make_pinyin_index.py reads the list from here; rerun it after a change.
// Each syllable is padded with zero bytes to PinyinSyllableStride, so that GetPinyin can
// copy a whole syllable as one word.
constexpr char PinyinSyllableLetters[PinyinSyllableCount + 1][PinyinSyllableStride] = {
    "", // no reading
    "a", "ai", "an", "ang", "ao", "ba", "bai", "ban", "bang", "bao", // 1-10
    "bei", "ben", "beng", "bi", "bian", "biao", "bie", "bin", "bing", "bo", // 11-20
    "bu", "ca", "cai", "can", "cang", "cao", "ce", "ceng", "cha", "chai", // 21-30
    "chan", "chang", "chao", "che", "chen", "cheng", "chi", "chong", "chou", "chu", // 31-40
    "chuai", "chuan", "chuang", "chui", "chun", "chuo", "ci", "cong", "cou", "cu", // 41-50
    "cuan", "cui", "cun", "cuo", "da", "dai", "dan", "dang", "dao", "de", // 51-60
    "deng", "di", "dian", "diao", "die", "ding", "diu", "dong", "dou", "du", // 61-70
    "duan", "dui", "dun", "duo", "e", "en", "er", "fa", "fan", "fang", // 71-80
    "fei", "fen", "feng", "fu", "fou", "ga", "gai", "gan", "gang", "gao", // 81-90
    "ge", "ji", "gen", "geng", "gong", "gou", "gu", "gua", "guai", "guan", // 91-100
    "guang", "gui", "gun", "guo", "ha", "hai", "han", "hang", "hao", "he", // 101-110
    "hei", "hen", "heng", "hong", "hou", "hu", "hua", "huai", "huan", "huang", // 111-120
    "hui", "hun", "huo", "jia", "jian", "jiang", "qiao", "jiao", "jie", "jin", // 121-130
    "jing", "jiong", "jiu", "ju", "juan", "jue", "jun", "ka", "kai", "kan", // 131-140
    "kang", "kao", "ke", "ken", "keng", "kong", "kou", "ku", "kua", "kuai", // 141-150
    "kuan", "kuang", "kui", "kun", "kuo", "la", "lai", "lan", "lang", "lao", // 151-160
    "le", "lei", "leng", "li", "lia", "lian", "liang", "liao", "lie", "lin", // 161-170
    "ling", "liu", "long", "lou", "lu", "luan", "lue", "lun", "luo", "ma", // 171-180
    "mai", "man", "mang", "mao", "me", "mei", "men", "meng", "mi", "mian", // 181-190
    "miao", "mie", "min", "ming", "miu", "mo", "mou", "mu", "na", "nai", // 191-200
    "nan", "nang", "nao", "ne", "nei", "nen", "neng", "ni", "nian", "niang", // 201-210
    "niao", "nie", "nin", "ning", "niu", "nong", "nu", "nuan", "nue", "yao", // 211-220
    "nuo", "o", "ou", "pa", "pai", "pan", "pang", "pao", "pei", "pen", // 221-230
    "peng", "pi", "pian", "piao", "pie", "pin", "ping", "po", "pou", "pu", // 231-240
    "qi", "qia", "qian", "qiang", "qie", "qin", "qing", "qiong", "qiu", "qu", // 241-250
    "quan", "que", "qun", "ran", "rang", "rao", "re", "ren", "reng", "ri", // 251-260
    "rong", "rou", "ru", "ruan", "rui", "run", "ruo", "sa", "sai", "san", // 261-270
    "sang", "sao", "se", "sen", "seng", "sha", "shai", "shan", "shang", "shao", // 271-280
    "she", "shen", "sheng", "shi", "shou", "shu", "shua", "shuai", "shuan", "shuang", // 281-290
    "shui", "shun", "shuo", "si", "song", "sou", "su", "suan", "sui", "sun", // 291-300
    "suo", "ta", "tai", "tan", "tang", "tao", "te", "teng", "ti", "tian", // 301-310
    "tiao", "tie", "ting", "tong", "tou", "tu", "tuan", "tui", "tun", "tuo", // 311-320
    "wa", "wai", "wan", "wang", "wei", "wen", "weng", "wo", "wu", "xi", // 321-330
    "xia", "xian", "xiang", "xiao", "xie", "xin", "xing", "xiong", "xiu", "xu", // 331-340
    "xuan", "xue", "xun", "ya", "yan", "yang", "ye", "yi", "yin", "ying", // 341-350
    "yo", "yong", "you", "yu", "yuan", "yue", "yun", "za", "zai", "zan", // 351-360
    "zang", "zao", "ze", "zei", "zen", "zeng", "zha", "zhai", "zhan", "zhang", // 361-370
    "zhao", "zhe", "zhen", "zheng", "zhi", "zhong", "zhou", "zhu", "zhua", "zhuai", // 371-380
    "zhuan", "zhuang", "zhui", "zhun", "zhuo", "zi", "zong", "zou", "zu", "zuan", // 381-390
    "zui", "zun", "zuo", "", "ei", "m", "n", "dia", "cen", "nou", // 391-400
    "jv", "qv", "xv", "lv", "nv", // 401-405
};

constexpr std::array<std::string_view, PinyinSyllableCount + 1> MakeSyllables()
{
    std::array<std::string_view, PinyinSyllableCount + 1> syllables{};
    for (std::size_t n = 0; n < syllables.size(); ++n)
        syllables[n] = std::string_view(PinyinSyllableLetters[n]);
    return syllables;
}

} // namespace

constexpr std::array<std::string_view, PinyinSyllableCount + 1> PinyinSyllables = MakeSyllables();
