#include "engines/artwork/ArtworkImageLoader.h"

#include "platform/SecurityScopedResource.h"
#include "support/Await.h"
#include "support/CountingFileAccess.h"
#include "support/TempDir.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QMutex>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace kivo {
namespace {

using test::await;

// A greyscale image header of the given size with no pixels after it: enough
// for the size to be read, which is all the loader does.
QByteArray pgmHeader(int width, int height)
{
    return "P5\n" + QByteArray::number(width) + ' ' + QByteArray::number(height) + "\n255\n";
}

class ArtworkImageLoaderTest : public test::TempDirTest {
protected:
    void SetUp() override
    {
        TempDirTest::SetUp();
        FileAccessPlatform::setShared(access);
    }
    void TearDown() override { FileAccessPlatform::setShared(nullptr); }

    QByteArray load(const QString& file)
    {
        return await(loadArtworkFileData(QUrl::fromLocalFile(file)));
    }

    // The error a load ends with; fails the test when it succeeds.
    ArtworkFileError failure(const QString& file)
    {
        try {
            load(file);
        } catch (const ArtworkFileError& e) {
            return e;
        }
        ADD_FAILURE() << "accepted " << file.toStdString();
        return ArtworkFileError::unreadable(u"accepted"_s);
    }

    std::shared_ptr<test::CountingFileAccess> access = std::make_shared<test::CountingFileAccess>();
};

TEST_F(ArtworkImageLoaderTest, ReturnsTheFileBytesUnchanged)
{
    QImage image(7, 5, QImage::Format_ARGB32);
    image.fill(QColor(10, 20, 30, 40));
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"));
    png.append("trailing bytes are kept", 23);
    EXPECT_EQ(load(writeFile(u"cover.png"_s, png)), png);
}

TEST_F(ArtworkImageLoaderTest, SizeLimitIsInclusive)
{
    QByteArray atLimit = pgmHeader(1, 1) + '\x80';
    atLimit.resize(maximumArtworkFileBytes, '\0');
    EXPECT_EQ(load(writeFile(u"limit.pgm"_s, atLimit)).size(), maximumArtworkFileBytes);

    const ArtworkFileError tooLarge = failure(writeFile(u"over.pgm"_s, atLimit + '\0'));
    EXPECT_EQ(tooLarge, ArtworkFileError::fileTooLarge(25));
    EXPECT_STREQ(tooLarge.what(), "Artwork must be smaller than 25 MB.");
}

TEST_F(ArtworkImageLoaderTest, PixelDimensionLimits)
{
    EXPECT_NO_THROW(load(writeFile(u"square.pgm"_s, pgmHeader(10000, 10000))));
    EXPECT_NO_THROW(load(writeFile(u"wide.pgm"_s, pgmHeader(16384, 1))));
    for (const auto& [width, height] :
        { std::pair { 10000, 10001 }, std::pair { 16385, 1 }, std::pair { 1, 16385 } }) {
        const ArtworkFileError error = failure(writeFile(u"big.pgm"_s, pgmHeader(width, height)));
        EXPECT_EQ(error, ArtworkFileError::excessiveDimensions()) << width << "x" << height;
        EXPECT_STREQ(error.what(), "The selected image is too large to process safely.");
    }
    EXPECT_EQ(failure(writeFile(u"zero.pgm"_s, pgmHeader(0, 5))), ArtworkFileError::invalidImage());
}

TEST_F(ArtworkImageLoaderTest, RefusesWhatIsNotAnImageFile)
{
    ASSERT_TRUE(QDir().mkpath(path(u"folder.png"_s)));
    for (const QString& file : { path(u"folder.png"_s), writeFile(u"empty.png"_s, {}),
             writeFile(u"notes.png"_s, "These are not the pixels you are looking for.\n") }) {
        const ArtworkFileError error = failure(file);
        EXPECT_EQ(error, ArtworkFileError::invalidImage()) << file.toStdString();
        EXPECT_STREQ(error.what(), "The selected file is not a supported image.");
    }

    const ArtworkFileError missing = failure(path(u"missing.png"_s));
    EXPECT_EQ(missing.errorCase(), ArtworkFileError::Case::unreadable);
    EXPECT_EQ(QString::fromUtf8(missing.what()),
        u"The artwork could not be read: No such file or directory"_s);
}

TEST_F(ArtworkImageLoaderTest, EndsTheAccessItStartedOnEveryWayOut)
{
    writeFile(u"ok.pgm"_s, pgmHeader(2, 2));
    writeFile(u"text.png"_s, "text");
    for (const QString& name : { u"ok.pgm"_s, u"text.png"_s, u"missing.png"_s }) {
        try {
            load(path(name));
        } catch (const ArtworkFileError&) {
        }
    }
    EXPECT_EQ(access->starts, 3);
    EXPECT_EQ(access->stops, 3);
}

} // namespace
} // namespace kivo
