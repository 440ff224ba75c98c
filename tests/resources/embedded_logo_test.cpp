// The base logo image and the template logo image: their OGOL images, checked with the real
// gzip, their 0xFF fill and the regions they share.

#include "embedded_test_support.h"

#include <QByteArray>
#include <QProcess>
#include <QString>

#include <gtest/gtest.h>

#include <string>

namespace {

using u830::test::le32;
using u830::test::readDiskFile;
using u830::test::readEmbedded;

constexpr size_t kImageSize = 262144;
constexpr size_t kFrameBytes = 320 * 480 * 2;

struct Inflated {
    bool ok = false;
    size_t size = 0;
    std::string error;
};

// gzip -dc on exactly the member's bytes: it checks the CRC and the length in the trailer.
Inflated inflateWithGzip(const std::string& member)
{
    QProcess gzip;
    gzip.start(QStringLiteral(U830_GZIP_FILE), {QStringLiteral("-dc")});
    if (!gzip.waitForStarted())
        return {false, 0, "gzip did not start"};
    gzip.write(member.data(), static_cast<qint64>(member.size()));
    gzip.closeWriteChannel();
    QByteArray out;
    while (gzip.state() != QProcess::NotRunning) {
        gzip.waitForReadyRead(10000);
        out += gzip.readAllStandardOutput();
    }
    out += gzip.readAllStandardOutput();
    const bool ok = gzip.exitStatus() == QProcess::NormalExit && gzip.exitCode() == 0;
    return {ok, static_cast<size_t>(out.size()), gzip.readAllStandardError().toStdString()};
}

// Checks one OGOL image at `offset` whose slot, fill included, ends before `end`.
void expectOgolImage(const std::string& image, size_t offset, size_t end)
{
    SCOPED_TRACE("OGOL image at " + std::to_string(offset));
    ASSERT_EQ(image.substr(offset, 4), "OGOL");
    const size_t length = le32(image, offset + 4);
    ASSERT_GT(length, 18u);
    ASSERT_LE(offset + 8 + length, end);
    const std::string member = image.substr(offset + 8, length);

    // One gzip member, deflate, with a stored file name (FNAME, a NUL-ended name).
    EXPECT_EQ(static_cast<unsigned char>(member[0]), 0x1Fu);
    EXPECT_EQ(static_cast<unsigned char>(member[1]), 0x8Bu);
    EXPECT_EQ(member[2], 8);
    EXPECT_TRUE(member[3] & 0x08) << "no stored file name";
    EXPECT_NE(member.find('\0', 10), std::string::npos);
    // The trailer ends exactly at the stored length.
    EXPECT_EQ(le32(member, length - 4), kFrameBytes);

    const Inflated frame = inflateWithGzip(member);
    EXPECT_TRUE(frame.ok) << frame.error;
    EXPECT_EQ(frame.size, kFrameBytes);

    const std::string fill = image.substr(offset + 8 + length, end - offset - 8 - length);
    EXPECT_EQ(fill.find_first_not_of('\xFF'), std::string::npos) << "fill is not all 0xFF";
}

TEST(BaseLogoImage, HasItsThreeRegions)
{
    const std::string image = readEmbedded("LOGO_NEW");
    ASSERT_EQ(image.size(), kImageSize);
    expectOgolImage(image, 0, 131072);
    expectOgolImage(image, 131072, 196608);
    EXPECT_EQ(image.substr(196608), image.substr(0, 65536));
    // Two different pictures.
    EXPECT_NE(image.substr(8, 64), image.substr(131072 + 8, 64));
}

TEST(TemplateLogoImage, HasItsOwnPictureAndTheBaseImageBehindIt)
{
    const std::string base = readEmbedded("LOGO_NEW");
    const std::string image = readDiskFile(U830_TEMPLATE_LOGO_FILE);
    ASSERT_EQ(image.size(), kImageSize);
    expectOgolImage(image, 0, 131072);
    EXPECT_NE(image.substr(0, 131072), base.substr(0, 131072));
    EXPECT_EQ(image.substr(131072), base.substr(131072));
}

}  // namespace
