// The texts the program writes into every package: the version descriptions byte for byte,
// the readme line by line after decoding it from GBK with glibc's iconv.

#include "WebLinks.h"
#include "embedded_test_support.h"

#include <iconv.h>

#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <map>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using u830::test::readEmbedded;

// Built here from the lines as the phone's version file has them, independently of the
// generator: line, indent and text.
std::string versionText(const std::string& softwareVersion)
{
    const std::vector<std::string> lines = {
        R"(<?xml version="1.0" encoding="utf-8"?>)",
        "<version>",
        std::string(4, ' ') + R"(<software version="     )" + softwareVersion + R"("/>)",
        std::string(9, ' ') + "<device name=\"U830 \xE7\xAC\xAC\xE4\xB8\x80\xE5\xB1\x8F\"/>",
        std::string(3, ' ') + R"(<manufacturer name="     vemol"/>)",
        std::string(4, ' ') + R"(<wipe_data value="false"/>)",
        "",
        std::string(4, ' ') + R"(<build_time value="20111024.211837"/>)",
        "</version>",
    };
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

struct VersionCase {
    const char* name;
    const char* softwareVersion;
};

void PrintTo(const VersionCase& c, std::ostream* os) { *os << c.name; }

class VersionDescription : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionDescription, HasExactBytes)
{
    const std::string expected = versionText(GetParam().softwareVersion);
    ASSERT_EQ(expected.size(), 248u);
    const std::string actual = readEmbedded(GetParam().name);
    EXPECT_EQ(actual.size(), 248u);
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(actual.find('\r'), std::string::npos);
    EXPECT_NE(actual.substr(0, 3), "\xEF\xBB\xBF") << "no byte-order mark";
}

INSTANTIATE_TEST_SUITE_P(Capacities, VersionDescription,
    ::testing::Values(VersionCase{"VERSION128", "128k"}, VersionCase{"VERSION160", "160k"},
                      VersionCase{"VERSION256", "256K"}),
    [](const auto& info) { return std::string(info.param.name); });

std::map<std::string, std::string> readWeblinks()
{
    std::ifstream in(U830_WEBLINKS_FILE);
    std::map<std::string, std::string> links;
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (eq != std::string::npos)
            links[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return links;
}

std::string gbkToUtf8(const std::string& gbk)
{
    using Handle = std::unique_ptr<void, decltype(&iconv_close)>;
    const Handle cd(iconv_open("UTF-8", "GBK"), &iconv_close);
    if (cd.get() == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("iconv has no GBK");
    std::string in = gbk;
    std::string out(gbk.size() * 2 + 16, '\0');
    char* inp = in.data();
    size_t inLeft = in.size();
    char* outp = out.data();
    size_t outLeft = out.size();
    if (iconv(cd.get(), &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1))
        throw std::runtime_error("not GBK at byte " + std::to_string(in.size() - inLeft)
                                 + " (errno " + std::to_string(errno) + ")");
    out.resize(out.size() - outLeft);
    return out;
}

std::vector<std::string> splitCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const auto end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos)
            return lines;
        start = end + 2;
    }
}

TEST(Readme, HasTheThirtyTwoLinesInGbkWithCrLfBetweenThem)
{
    const auto links = readWeblinks();
    ASSERT_TRUE(links.count("README_BIN_URL") && links.count("README_LIST_URL"));

    // The lines as UTF-8 source text; the file holds them in GBK.
    const std::vector<std::string> expected = {
        "本文件名显示的第一屏要求的内部空间版本",
        "",
        "128K 说明要求手机第一屏存储空间为128k；适合大部分人手机。",
        "     以后刷bin时可一用中兴880及酷派8810刷机软件；",
        "160K 说明要求手机第一屏存储空间为160k；",
        "     需要刷过一次我的只刷底层Bin（2012.07.14及后面的版本）。",
        "     以后刷bin时可一用中兴880及酷派8810刷机软件；",
        "256K 说明要求手机第一屏存储空间为256k；",
        "     需要刷过一次我的只刷底层Bin（2012.07.14及后面的版本）。",
        "     以后刷bin时能用酷派8810刷机软件，而不能用u880刷机软件（因为显示不出imei号码及版本）；",
        "     (刷Bin之前换成小规格图片后，就可以用中兴880刷机软件了。)",
        "",
        "手机内部存储空间大的可以使用小图片，",
        "反之不行，那样会只显示部分图片。",
        "",
        "备注：使用了256k版本的图片后，以后刷Bin的时候，u880的刷机软件不能用，你可以使用酷派8810的刷机软件；",
        "      但是只要你能在刷Bin之前换了其他小版本的图片，就能使用u880的刷机软件；",
        "",
        std::string(26, '='),
        "",
        "大部分人的手机内部存储开机第一屏图片的空间分配了128K；",
        "最大可使用256K，需要刷一次只刷底层的bin，修改下此参数；",
        "极少数人的13k空间的手机，只能显示图片的 13k部分，更需要刷这个个只刷底层的bin",
        "否则只能使用原版G3这样及简单的图片。",
        "",
        "这个bin，不会破坏手机已有软件系统",
        "",
        "该bin下载地址：",
        links.at("README_BIN_URL"),
        "",
        "我的所有资源：",
        links.at("README_LIST_URL"),
    };

    const std::string raw = readEmbedded("README");
    ASSERT_FALSE(raw.empty());
    EXPECT_NE(raw.substr(raw.size() - 1), "\n") << "no line end after the last line";
    // Every LF belongs to a CR LF pair and every CR to one.
    size_t crs = 0, lfs = 0;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r') {
            ++crs;
            EXPECT_TRUE(i + 1 < raw.size() && raw[i + 1] == '\n') << "lone CR at " << i;
        } else if (raw[i] == '\n') {
            ++lfs;
        }
    }
    EXPECT_EQ(crs, 31u);
    EXPECT_EQ(lfs, 31u);

    const auto lines = splitCrLf(gbkToUtf8(raw));
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;

    // Full-width punctuation is double-byte GBK, e.g. "，" is A3 AC.
    EXPECT_NE(raw.find("\xA3\xAC"), std::string::npos);
}

TEST(WebLinks, HeaderHoldsTheAddressesOfWeblinksTxt)
{
    const auto links = readWeblinks();
    ASSERT_EQ(links.size(), 5u);
    EXPECT_EQ(std::string(kForumThreadUrl), links.at("FORUM_THREAD_URL"));
    EXPECT_EQ(std::string(kForumPostUrl), links.at("FORUM_POST_URL"));
    EXPECT_EQ(std::string(kDownloadListUrl), links.at("DOWNLOAD_LIST_URL"));
    for (const auto& [key, url] : links)
        EXPECT_EQ(url.rfind("https://example.org/", 0), 0u) << key;
}

}  // namespace
