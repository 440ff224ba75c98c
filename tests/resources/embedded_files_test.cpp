// Which files are embedded, under which names, and the formats of the sample picture and
// the buttons' glyph.

#include "EmbeddedFiles.h"
#include "embedded_test_support.h"

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using u830::resources::embeddedFilePath;
using u830::test::be16;
using u830::test::le16;
using u830::test::le32;
using u830::test::readDiskFile;
using u830::test::readEmbedded;
using u830::test::readQtFile;

TEST(EmbeddedFiles, ResourceInitialiserIsLinkedFromTheStaticLibrary)
{
    // Nothing here calls Q_INIT_RESOURCE: the files must be there all the same.
    EXPECT_TRUE(QFile::exists(":/FILE/LOGO_NEW"));
    EXPECT_TRUE(QFile::exists(":/glyph/arrow.bmp"));
}

struct Source {
    const char* name;
    std::string path;
};

void PrintTo(const Source& s, std::ostream* os) { *os << s.name << " from " << s.path; }

class EmbeddedFile : public ::testing::TestWithParam<Source> {};

// Each name holds its own source file byte for byte, so no alias points at another file.
TEST_P(EmbeddedFile, EqualsItsSourceFile)
{
    const std::string embedded = readEmbedded(GetParam().name);
    const std::string source = readDiskFile(GetParam().path);
    ASSERT_FALSE(source.empty());
    EXPECT_EQ(embedded.size(), source.size());
    EXPECT_TRUE(embedded == source);
}

const std::string kData = U830_DATA_DIR;

INSTANTIATE_TEST_SUITE_P(All, EmbeddedFile,
    ::testing::Values(Source{"GZIP", U830_GZIP_FILE}, Source{"ZIP", U830_ZIP_FILE},
                      Source{"MENGHU", kData + "/menghu.jpg"},
                      Source{"VERSION128", kData + "/version128.xml"},
                      Source{"VERSION160", kData + "/version160.xml"},
                      Source{"VERSION256", kData + "/version256.xml"},
                      Source{"README", kData + "/readme.txt"},
                      Source{"LOGO_NEW", kData + "/logo_new.img"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EmbeddedFiles, ProgramsAreRealExecutablesNotLinks)
{
    for (const char* name : {"GZIP", "ZIP"}) {
        const std::string program = readEmbedded(name);
        EXPECT_EQ(program.substr(0, 4), "\x7F" "ELF") << name;
        EXPECT_GT(program.size(), 10000u) << name;
    }
}

struct Lookup {
    const char* name;
    const char* path;  // "" for a name that must give no path
    bool found;
};

void PrintTo(const Lookup& l, std::ostream* os) { *os << '"' << l.name << '"'; }

class EmbeddedFileLookup : public ::testing::TestWithParam<Lookup> {};

TEST_P(EmbeddedFileLookup, IgnoresTheCaseOfLetters)
{
    const QString path = embeddedFilePath(QString::fromUtf8(GetParam().name));
    EXPECT_EQ(path, QString::fromUtf8(GetParam().path));
    EXPECT_EQ(!path.isEmpty() && QFile::exists(path), GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(Names, EmbeddedFileLookup, ::testing::Values(
    Lookup{"MengHu", ":/FILE/MENGHU", true},
    Lookup{"logo_new", ":/FILE/LOGO_NEW", true},
    Lookup{"version128", ":/FILE/VERSION128", true},
    Lookup{"readme", ":/FILE/README", true},
    Lookup{"gzip", ":/FILE/GZIP", true},
    Lookup{"Zip", ":/FILE/ZIP", true},
    Lookup{"Supk", ":/FILE/SUPK", U830_EXPECT_SUPK != 0},
    Lookup{"version512", ":/FILE/VERSION512", false},
    // Only a-z are folded: a dotless ı must not turn into I.
    Lookup{"readme\u0131", ":/FILE/README\u0131", false},
    Lookup{"", "", false},
    Lookup{"../glyph/arrow.bmp", "", false},
    Lookup{"..\\glyph", "", false}));

TEST(EmbeddedFiles, TemplatePackageIsAZipWhenTheUpdaterIsBuilt)
{
    if (!U830_EXPECT_SUPK)
        GTEST_SKIP() << "resources/updater is not part of this build";
    const std::string supk = readEmbedded("SUPK");
    EXPECT_EQ(supk.substr(0, 4), std::string("PK\x03\x04", 4));
}

// The sample picture, read segment by segment up to the first scan.
TEST(SamplePicture, IsA320By480BaselineJfifAt96Dpi)
{
    const std::string jpeg = readEmbedded("MENGHU");
    ASSERT_GT(jpeg.size(), 8000u);
    EXPECT_LT(jpeg.size(), 24000u);
    ASSERT_EQ(be16(jpeg, 0), 0xFFD8u);
    EXPECT_EQ(be16(jpeg, jpeg.size() - 2), 0xFFD9u);

    bool sawJfif = false, sawSof0 = false;
    size_t at = 2;
    while (at + 4 <= jpeg.size()) {
        ASSERT_EQ(static_cast<unsigned char>(jpeg[at]), 0xFFu) << "at " << at;
        const unsigned marker = static_cast<unsigned char>(jpeg[at + 1]);
        const size_t length = be16(jpeg, at + 2);
        ASSERT_GE(length, 2u);
        ASSERT_LE(at + 2 + length, jpeg.size());
        const std::string body = jpeg.substr(at + 4, length - 2);
        if (marker == 0xE0 && body.compare(0, 5, std::string("JFIF\0", 5)) == 0) {
            EXPECT_FALSE(sawSof0) << "JFIF must come first";
            ASSERT_GE(body.size(), 14u);
            EXPECT_EQ(body[5], 1);         // version 1.01
            EXPECT_EQ(body[6], 1);
            EXPECT_EQ(body[7], 1);         // dots per inch
            EXPECT_EQ(be16(body, 8), 96u);
            EXPECT_EQ(be16(body, 10), 96u);
            sawJfif = true;
        } else if (marker == 0xC0) {
            ASSERT_GE(body.size(), 6u + 3 * 3);
            EXPECT_EQ(body[0], 8);         // 8 bits per sample
            EXPECT_EQ(be16(body, 1), 480u); // height
            EXPECT_EQ(be16(body, 3), 320u); // width
            EXPECT_EQ(body[5], 3);         // Y, Cb, Cr
            sawSof0 = true;
        } else {
            // Progressive, extended or lossless frames would not be baseline.
            EXPECT_FALSE(marker >= 0xC1 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8
                         && marker != 0xCC) << "frame marker " << std::hex << marker;
        }
        if (marker == 0xDA)
            break;
        at += 2 + length;
    }
    EXPECT_TRUE(sawJfif);
    EXPECT_TRUE(sawSof0);
}

// The buttons' glyph: 32 x 16, 4 bits, the two arrows, olive in the bottom-left corner.
TEST(ArrowGlyph, IsA16ColourBitmapOfTwoArrows)
{
    const std::string bmp = readQtFile(QStringLiteral(":/glyph/arrow.bmp"));
    ASSERT_GE(bmp.size(), 118u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(le32(bmp, 2), bmp.size());
    const size_t pixels = le32(bmp, 10);
    EXPECT_EQ(le32(bmp, 14), 40u);
    EXPECT_EQ(le32(bmp, 18), 32u);
    EXPECT_EQ(le32(bmp, 22), 16u);   // positive: bottom row first
    EXPECT_EQ(le16(bmp, 26), 1u);
    EXPECT_EQ(le16(bmp, 28), 4u);
    EXPECT_EQ(le32(bmp, 30), 0u);    // no compression
    const unsigned colours = le32(bmp, 46) ? le32(bmp, 46) : 16;
    EXPECT_EQ(colours, 16u);
    ASSERT_EQ(pixels, 54u + 4 * colours);
    ASSERT_EQ(bmp.size(), pixels + 16 * 16);

    auto rgbAt = [&](int x, int yFromTop) {
        const size_t row = pixels + static_cast<size_t>(15 - yFromTop) * 16;
        const unsigned byte = static_cast<unsigned char>(bmp[row + x / 2]);
        const unsigned index = x % 2 ? byte & 15 : byte >> 4;
        const size_t entry = 54 + 4 * index;
        return static_cast<unsigned long>(static_cast<unsigned char>(bmp[entry + 2])) << 16
               | static_cast<unsigned char>(bmp[entry + 1]) << 8
               | static_cast<unsigned char>(bmp[entry]);
    };
    const unsigned long olive = 0x808000, red = 0xFF0000, black = 0x000000;
    const unsigned long grey = 0x808080, white = 0xFFFFFF;
    EXPECT_EQ(rgbAt(0, 15), olive);
    EXPECT_EQ(rgbAt(31, 0), olive);

    int normal[2] = {0, 0}, disabled[2] = {0, 0};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x) {
            const unsigned long c = rgbAt(x, y);
            if (x < 16) {
                EXPECT_TRUE(c == olive || c == red || c == black) << x << "," << y;
                normal[0] += c == red;
                normal[1] += c == black;
            } else {
                EXPECT_TRUE(c == olive || c == grey || c == white) << x << "," << y;
                disabled[0] += c == grey;
                disabled[1] += c == white;
            }
        }
    }
    EXPECT_GT(normal[0], 30);
    EXPECT_GT(normal[1], 20);
    EXPECT_EQ(disabled[0], normal[0]) << "the same arrow, in grey";
    EXPECT_GT(disabled[1], 5);
    // Pointing up: the tip's row is narrower than the row under it.
    EXPECT_EQ(rgbAt(7, 2), red);
    EXPECT_EQ(rgbAt(5, 2) , black);
    EXPECT_EQ(rgbAt(3, 7), red);
}

}  // namespace
