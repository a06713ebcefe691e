#include "support/FileTestSupport.h"
#include "writers/ImageFile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace FileTestSupport;

namespace {

QImage picture() {
    QImage image(516, 117, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y * 2, (x * y) % 256));
    return image;
}

} // namespace

class ImageFileTests : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(ImageFileTests, SaveBitmap_WritesABmpThatReadsBackExactly) {
    const QString file = path(QStringLiteral("Blank Chord Chart.bmp"));
    ImageFile::SaveBitmap(picture(), file);
    EXPECT_TRUE(readAll(file).startsWith("BM"));
    const QImage back(file, "BMP");
    ASSERT_EQ(back.size(), QSize(516, 117));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), picture());
}

TEST_F(ImageFileTests, SaveBitmap_ReplacesAnExistingFile) {
    const QString file = path(QStringLiteral("Chord Chart 1.bmp"));
    writeAll(file, QByteArray(500000, 'o'));
    ImageFile::SaveBitmap(picture(), file);
    EXPECT_EQ(QImage(file, "BMP").convertToFormat(QImage::Format_RGB32), picture());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Chord Chart 1.bmp"});
}

TEST_F(ImageFileTests, SaveBitmap_FailuresSayWhatWentWrong) {
    const QString regularFile = path(QStringLiteral("not a folder"));
    writeAll(regularFile, "x");
    const QString folder = path(QStringLiteral("Chord Chart 2.bmp"));
    QDir().mkdir(folder);
    const struct {
        const char* name;
        QImage image;
        QString file;
        int number;
        QString description;
    } cases[] = {
        {"missing folder", picture(), path(QStringLiteral("gone/a.bmp")), 76, "Path not found"},
        {"path through a file", picture(), regularFile + QStringLiteral("/b.bmp"), 76,
         "Path not found"},
        {"name of a folder", picture(), folder, 70, "Permission denied"},
        {"null picture", QImage(), path(QStringLiteral("c.bmp")), 75, "Path/File access error"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        expectFailure([&] { ImageFile::SaveBitmap(test.image, test.file); }, test.number,
                      test.description);
        EXPECT_FALSE(QFileInfo(test.file).isFile());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"not a folder"});
}

TEST_F(ImageFileTests, SaveBitmap_ReadOnlyFolderIsPermissionDenied) {
    const QString folder = readOnlyFolder(dir);
    if (folder.isEmpty())
        GTEST_SKIP() << "this process may write into read-only folders (root)";
    const QString file = folder + QStringLiteral("/Chord Chart 1.bmp");
    expectFailure([&] { ImageFile::SaveBitmap(picture(), file); }, 70,
                  QStringLiteral("Permission denied"));
    EXPECT_FALSE(QFileInfo::exists(file));
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(ImageFileTests, WriteFile_ReportsAMissingFolderWithoutCreatingIt) {
    const QString file = path(QStringLiteral("new/sub/x.bin"));
    EXPECT_EQ(ImageFile::writeFile(file, "data"), WriteResult::FolderMissing);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("new"))));
    EXPECT_EQ(ImageFile::writeFile(path(QStringLiteral("x.bin")), "data"), WriteResult::Written);
    EXPECT_EQ(readAll(path(QStringLiteral("x.bin"))), "data");
}

TEST_F(ImageFileTests, EncodeBitmap_GreyPictureIsStoredAsEightBitGreysWithoutLoss) {
    QImage grey(516, 117, QImage::Format_RGB32);
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x)
            grey.setPixel(x, y, qRgb((x + y) % 256, (x + y) % 256, (x + y) % 256));
    const QByteArray bmp = ImageFile::encodeBitmap(grey);
    ASSERT_GT(bmp.size(), 54);
    EXPECT_EQ(quint8(bmp[28]), 8); // bits per pixel
    EXPECT_LT(bmp.size(), 516 * 117 + 2000);
    QImage back;
    ASSERT_TRUE(back.loadFromData(bmp, "BMP"));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), grey);

    // Written directly, yet with the headers and greys of Qt's own writer and the same
    // pixels, also for rows that need padding and pictures with a resolution. (Qt leaves its
    // row padding unset, so only the headers are compared byte for byte.)
    for (const QSize size : {QSize(7, 3), QSize(1, 2)}) {
        SCOPED_TRACE(size.width());
        QImage small = grey.copy(QRect(QPoint(0, 0), size));
        small.setDotsPerMeterX(5000);
        QByteArray expected;
        QBuffer buffer(&expected);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(QImageWriter(&buffer, "bmp").write(ImageFile::greyIndexed(small)));
        const QByteArray ours = ImageFile::encodeBitmap(small);
        constexpr int headersAndGreys = 14 + 40 + 256 * 4;
        EXPECT_EQ(ours.size(), expected.size());
        EXPECT_EQ(ours.left(headersAndGreys), expected.left(headersAndGreys));
        ASSERT_TRUE(back.loadFromData(ours, "BMP"));
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), small);
    }

    // One coloured pixel keeps the whole picture in 24-bit colour.
    QImage tinted = grey;
    tinted.setPixel(100, 50, qRgb(10, 20, 30));
    const QByteArray colour = ImageFile::encodeBitmap(tinted);
    EXPECT_EQ(quint8(colour[28]), 24);
    ASSERT_TRUE(back.loadFromData(colour, "BMP"));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), tinted);
}
