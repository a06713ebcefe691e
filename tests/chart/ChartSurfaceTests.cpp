#include "base/Failure.h"
#include "chart/ChartSurface.h"
#include "support/PixelProbe.h"

#include <gtest/gtest.h>

using namespace PixelProbe;

namespace {
constexpr QRgb white = 0xffffffff;
constexpr QRgb black = 0xff000000;

bool isPureBlackOrWhite(QRgb p) {
    return p == black || p == white;
}
} // namespace

class ChartSurfaceTests : public ::testing::Test {
protected:
    ChartSurface surface;
};

TEST_F(ChartSurfaceTests, NewSurface_IsWhiteRgb32PictureAt96Dpi) {
    const QImage& image = surface.image();
    EXPECT_EQ(image.size(), QSize(516, 117));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    EXPECT_EQ(image.dotsPerMeterX(), 3780);
    EXPECT_EQ(image.dotsPerMeterY(), 3780);
    EXPECT_EQ(lightCount(image, image.rect()), 516 * 117);
    EXPECT_TRUE(surface.font().bold());
}

TEST_F(ChartSurfaceTests, ToPixels_MapsTheWindowLinearlyAndMirrorsAReversedOne) {
    const struct {
        QPointF topLeft, bottomRight, logical, pixels;
    } cases[] = {
        {{-0.5, -1}, {17, 7}, {-0.5, -1}, {0, 0}},
        {{-0.5, -1}, {17, 7}, {17, 7}, {516, 117}},
        {{-0.5, -1}, {17, 7}, {0.5, 1}, {516 / 17.5, 2 * 117 / 8.0}},
        {{-0.5, -1}, {17, 7}, {8, 6}, {8.5 * 516 / 17.5, 7 * 117 / 8.0}},
        {{17, -1}, {-0.5, 7}, {17, -1}, {0, 0}},
        {{17, -1}, {-0.5, 7}, {0.5, 1}, {16.5 * 516 / 17.5, 2 * 117 / 8.0}},
        {{17, -1}, {-0.5, 7}, {8, 6}, {9 * 516 / 17.5, 7 * 117 / 8.0}},
    };
    for (const auto& test : cases) {
        surface.setCoordinateWindow(test.topLeft, test.bottomRight);
        const QPointF p = surface.toPixels(test.logical);
        EXPECT_NEAR(p.x(), test.pixels.x(), 1e-9) << test.logical.x() << " " << test.topLeft.x();
        EXPECT_NEAR(p.y(), test.pixels.y(), 1e-9) << test.logical.y();
    }
}

TEST_F(ChartSurfaceTests, DrawLine_CoversWholePixelsOfThePenWidth) {
    for (int width : {1, 2, 3, 7, 8}) {
        SCOPED_TRACE(width);
        surface.clear();
        surface.setPenWidth(width);
        surface.drawLine({10, 50.3}, {200, 50.3}, black);
        surface.drawLine({300.7, 10}, {300.7, 100}, black);
        const QImage& image = surface.image();
        EXPECT_EQ(darkRunAcross(image, 100, 50, false), width);
        EXPECT_EQ(darkRunAcross(image, 300, 60, true), width);
        EXPECT_EQ(darkRunAcross(image, 10, 50, true), 191) << "both end pixels, no caps";
        EXPECT_EQ(count(image, image.rect(), isPureBlackOrWhite), 516 * 117)
            << "no antialiased pixels";
    }
}

TEST_F(ChartSurfaceTests, DrawDot_IsAnAntialiasedDiscOfThePenWidth) {
    surface.setPenWidth(12);
    surface.drawDot({100, 50}, black);
    const QImage& image = surface.image();
    const int across = darkRunAcross(image, 100, 50, true);
    EXPECT_GE(across, 11);
    EXPECT_LE(across, 12);
    EXPECT_EQ(darkRunAcross(image, 100, 50, false), across);
    EXPECT_LT(count(image, QRect(90, 40, 21, 21), isPureBlackOrWhite), 21 * 21)
        << "edge pixels are blended";
    EXPECT_EQ(image.pixel(94, 44), white) << "a disc, not a square";
}

TEST_F(ChartSurfaceTests, DrawDot_OfWidthOneSetsOnePixel) {
    surface.drawDot({100.6, 50.2}, black);
    EXPECT_EQ(darkCount(surface.image(), surface.image().rect()), 1);
    EXPECT_EQ(surface.image().pixel(100, 50), black);
}

TEST_F(ChartSurfaceTests, Print_PutsTheTextTopLeftAtTheCurrentPosition) {
    surface.setCurrentPosition({100, 40});
    surface.print(QStringLiteral("Wg"));
    const QImage& image = surface.image();
    EXPECT_GE(darkCount(image, QRect(100, 40, 30, 16)), 10);
    EXPECT_EQ(darkCount(image, QRect(0, 0, 516, 40)), 0) << "nothing above the position";
    EXPECT_EQ(darkCount(image, QRect(0, 0, 100, 117)), 0) << "nothing left of the position";
    EXPECT_EQ(surface.currentPosition(), QPointF(100, 40));
}

TEST_F(ChartSurfaceTests, Print_RunsLeftToRightInAMirroredWindow) {
    ChartSurface mirrored;
    mirrored.setCoordinateWindow({516, 0}, {0, 117});
    surface.setCurrentPosition({200, 50});
    mirrored.setCurrentPosition({316, 50});
    surface.print(QStringLiteral("b3"));
    mirrored.print(QStringLiteral("b3"));
    EXPECT_EQ(surface.image(), mirrored.image());
}

TEST_F(ChartSurfaceTests, SetPenWidth_OutsideOneTo32767Fails) {
    for (int width : {0, -1, 32768}) {
        try {
            surface.setPenWidth(width);
            ADD_FAILURE() << width;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.number(), 380);
        }
    }
    EXPECT_EQ(surface.penWidth(), 1);
}

TEST_F(ChartSurfaceTests, SetBackgroundColour_ErasesTheDrawing) {
    surface.setPenWidth(5);
    surface.drawLine({0, 10}, {500, 10}, black);
    surface.setBackgroundColour(0xff112233);
    EXPECT_EQ(
        count(surface.image(), surface.image().rect(), [](QRgb p) { return p == 0xff112233; }),
        516 * 117);
}

TEST_F(ChartSurfaceTests, CopiesAndImagesTakenEarlierDoNotChangeWithLaterDrawing) {
    surface.setPenWidth(3);
    surface.drawLine({0, 10}, {500, 10}, black);
    const QImage before = surface.image();
    ChartSurface copy = surface;
    surface.drawLine({0, 60}, {500, 60}, black);

    EXPECT_EQ(copy.image(), before);
    EXPECT_EQ(copy.penWidth(), 3);
    EXPECT_NE(surface.image(), before);
    EXPECT_EQ(surface.image().pixel(10, 60), black);

    ChartSurface moved = std::move(surface);
    moved.drawLine({0, 100}, {500, 100}, black);
    EXPECT_EQ(moved.image().pixel(10, 100), black);
    EXPECT_EQ(moved.image().pixel(10, 60), black);
    copy = moved;
    EXPECT_EQ(copy.image(), moved.image());
}
