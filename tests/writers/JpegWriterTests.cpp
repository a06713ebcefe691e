#include "chart/ChartRenderer.h"
#include "chart/ChartSurface.h"
#include "support/FileTestSupport.h"
#include "writers/JpegWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <turbojpeg.h>

using namespace FileTestSupport;

namespace {

QString saveError(int status) {
    return QStringLiteral("Cannot save the image. GDI+ Error:%1").arg(status);
}

// Mean absolute difference per channel between two pictures of the same size.
double meanDifference(const QImage& a, const QImage& b) {
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row);
            const QRgb q = y.pixel(col, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * x.width() * x.height());
}

QImage chordChart() {
    ChartSurface surface;
    ChartRenderer::DrawChartGrid(surface, false);
    ChartRenderer::DrawChordMarks(surface, QStringLiteral("8-10-10-9-8-8"),
                                  QStringLiteral("1-3-4-2-1-1"), ChartStyle::fingering(),
                                  QStringLiteral("Cmaj"), false);
    return surface.image();
}

// Three flat colour bands: red, green, blue.
QImage colourBands(QImage::Format format) {
    QImage image(90, 30, format);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 90; ++x)
            image.setPixel(x, y, x < 30 ? 0xffff0000 : x < 60 ? 0xff00ff00 : 0xff0000ff);
    return image;
}

} // namespace

class JpegWriterTests : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(JpegWriterTests, SaveJpeg_WritesAJpegOfTheSamePictureAtQuality100) {
    const QImage chart = chordChart();
    const QString file = path(QStringLiteral("Chord Chart 1.jpg"));
    JpegWriter::SaveJpeg(chart, file, 100);
    const QImage decoded(file, "JPG");
    ASSERT_FALSE(decoded.isNull());
    EXPECT_EQ(decoded.size(), QSize(516, 117));
    EXPECT_LT(meanDifference(chart, decoded), 2.0);
    EXPECT_EQ(readAll(file), JpegWriter::encodeJpeg(chart, 100)) << "same bytes as encodeJpeg";
}

TEST_F(JpegWriterTests, EncodeJpeg_KeepsColoursFromEveryPictureFormatAndRowPadding) {
    const QImage bands = colourBands(QImage::Format_RGB32);
    // Rows 64 bytes longer than the pixels need, as a picture cut from a wider one has.
    const qsizetype stride = bands.bytesPerLine() + 64;
    QByteArray padded(stride * bands.height(), '\x7f');
    for (int y = 0; y < bands.height(); ++y)
        std::memcpy(padded.data() + y * stride, bands.constScanLine(y), bands.bytesPerLine());
    const QImage paddedImage(reinterpret_cast<const uchar*>(padded.constData()), bands.width(),
                             bands.height(), stride, QImage::Format_RGB32);

    const struct {
        const char* name;
        QImage picture;
    } cases[] = {
        {"RGB32", bands},
        {"ARGB32", colourBands(QImage::Format_ARGB32)},
        {"RGB888", colourBands(QImage::Format_RGB888)},
        {"padded rows", paddedImage},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const QImage decoded = QImage::fromData(JpegWriter::encodeJpeg(test.picture, 100), "JPG");
        ASSERT_EQ(decoded.size(), bands.size());
        EXPECT_LT(meanDifference(bands, decoded), 3.0);
        for (int x : {15, 45, 75})
            EXPECT_EQ(qGray(decoded.pixel(x, 15)) / 16, qGray(bands.pixel(x, 15)) / 16);
        EXPECT_GT(qRed(decoded.pixel(15, 15)), 240);
        EXPECT_GT(qBlue(decoded.pixel(75, 15)), 240);
        EXPECT_LT(qRed(decoded.pixel(75, 15)), 16);
    }
}

TEST_F(JpegWriterTests, EncodeJpeg_UsesFullChromaResolution) {
    const QByteArray jpeg = JpegWriter::encodeJpeg(chordChart(), 100);
    tjhandle handle = tjInitDecompress();
    ASSERT_NE(handle, nullptr);
    int width = 0, height = 0, subsampling = -1, colourspace = -1;
    const int status = tjDecompressHeader3(
        handle, reinterpret_cast<const unsigned char*>(jpeg.constData()),
        static_cast<unsigned long>(jpeg.size()), &width, &height, &subsampling, &colourspace);
    tjDestroy(handle);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(width, 516);
    EXPECT_EQ(height, 117);
    EXPECT_EQ(subsampling, TJSAMP_444);
}

TEST_F(JpegWriterTests, EncodeJpeg_HigherQualityGivesALargerFile) {
    const QImage chart = chordChart();
    EXPECT_GT(JpegWriter::encodeJpeg(chart, 100).size(), JpegWriter::encodeJpeg(chart, 50).size());
    EXPECT_GT(JpegWriter::encodeJpeg(chart, 50).size(), JpegWriter::encodeJpeg(chart, 5).size());
}

TEST_F(JpegWriterTests, SaveJpeg_ReplacesAnExistingFile) {
    const QString file = path(QStringLiteral("Chord Chart 1.jpg"));
    writeAll(file, QByteArray(100000, 'o'));
    JpegWriter::SaveJpeg(chordChart(), file, 100);
    const QByteArray written = readAll(file);
    EXPECT_TRUE(written.startsWith("\xff\xd8")) << "JPEG start of image";
    EXPECT_FALSE(written.contains("oooo"));
    EXPECT_FALSE(QImage(file, "JPG").isNull());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Chord Chart 1.jpg"})
        << "no temporary file left behind";
}

TEST_F(JpegWriterTests, SaveJpeg_FailuresCarryTheStatusAndLeaveNoFile) {
    const QString regularFile = path(QStringLiteral("not a folder"));
    writeAll(regularFile, "x");
    const QString folderNamedLikeTheFile = path(QStringLiteral("Chord Chart 2.jpg"));
    QDir().mkdir(folderNamedLikeTheFile);
    const QImage chart = chordChart();
    const struct {
        const char* name;
        QImage picture;
        QString file;
        quint8 quality;
        int status;
    } cases[] = {
        {"null picture", QImage(), path(QStringLiteral("a.jpg")), 100, 2},
        {"quality above 100", chart, path(QStringLiteral("b.jpg")), 101, 2},
        {"missing folder", chart, path(QStringLiteral("gone/c.jpg")), 100, 7},
        {"path through a file", chart, regularFile + QStringLiteral("/d.jpg"), 100, 7},
        {"name of a folder", chart, folderNamedLikeTheFile, 100, 7},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        expectFailure([&] { JpegWriter::SaveJpeg(test.picture, test.file, test.quality); }, 5,
                      saveError(test.status));
        EXPECT_FALSE(QFileInfo(test.file).isFile());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"not a folder"});
}

TEST_F(JpegWriterTests, SaveJpeg_FailedSaveKeepsTheFileItWouldReplace) {
    const QString file = path(QStringLiteral("Chord Chart 1.jpg"));
    writeAll(file, "previous chart");
    expectFailure([&] { JpegWriter::SaveJpeg(QImage(), file, 100); }, 5, saveError(2));
    EXPECT_EQ(readAll(file), "previous chart");
}

TEST_F(JpegWriterTests, SaveJpeg_ReadOnlyFolderFailsWithStatus7) {
    const QString folder = readOnlyFolder(dir);
    if (folder.isEmpty())
        GTEST_SKIP() << "this process may write into read-only folders (root)";
    const QString file = folder + QStringLiteral("/Chord Chart 1.jpg");
    expectFailure([&] { JpegWriter::SaveJpeg(chordChart(), file, 100); }, 5, saveError(7));
    EXPECT_FALSE(QFileInfo::exists(file));
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}
