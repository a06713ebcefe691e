#include "base/Failure.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartSurface.h"
#include "support/PixelProbe.h"

#include <QElapsedTimer>
#include <QFontInfo>
#include <QPoint>
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

using namespace PixelProbe;

namespace {

constexpr QRgb white = 0xffffffff;
constexpr QRgb black = 0xff000000;
constexpr QRgb silver = 0xffc0c0c0;

struct Mark {
    double fret;
    double y;
};

// Entry 6 ("maj") at Pitch C: frets 8-10-10-9-8-8, low E first, so string k sits at y = 6 - k.
const QString cmajFrets = QStringLiteral("8-10-10-9-8-8");
const Mark cmajMarks[] = {{8, 6}, {10, 5}, {10, 4}, {9, 3}, {8, 2}, {8, 1}};

} // namespace

// Every case runs right- and left-handed.
class ChartRendererTests : public ::testing::TestWithParam<bool> {
protected:
    bool leftHanded() const { return GetParam(); }

    QImage blankChart() {
        ChartSurface surface;
        ChartRenderer::DrawChartGrid(surface, leftHanded());
        return surface.image();
    }

    // A chart of one chord in one of the two styles.
    QImage chart(const QString& frets, const QString& labels, const ChartStyle& style,
                 const QString& title = {}) {
        ChartRenderer::DrawChartGrid(surface, leftHanded());
        ChartRenderer::DrawChordMarks(surface, frets, labels, style, title, leftHanded());
        return surface.image();
    }

    int c(double x) const { return col(x, leftHanded()); }
    // Left edge of a label printed at its dot: 0.15 units left of the dot's centre on screen.
    int labelLeft(double fret) const {
        return qRound(columnOf(leftHanded() ? fret + 0.15 : fret - 0.15, leftHanded()));
    }

    ChartSurface surface;
};

INSTANTIATE_TEST_SUITE_P(Handedness, ChartRendererTests, ::testing::Bool(), [](const auto& info) {
    return info.param ? "LeftHanded" : "RightHanded";
});

TEST_P(ChartRendererTests, DrawChartGrid_SetsSixteenFretsAndTheHandedWindow) {
    EXPECT_EQ(ChartRenderer::DrawChartGrid(surface, leftHanded()), 16);
    EXPECT_EQ(surface.windowTopLeft(), leftHanded() ? QPointF(17, -1) : QPointF(-0.5, -1));
    EXPECT_EQ(surface.windowBottomRight(), leftHanded() ? QPointF(-0.5, 7) : QPointF(17, 7));
}

TEST_P(ChartRendererTests, DrawChartGrid_NutIsSevenPixelsWideOnTheHandedSide) {
    const QImage image = blankChart();
    const int betweenStrings = row(2.5);
    const int nut = c(0.5);
    EXPECT_EQ(darkRunAcross(image, nut, betweenStrings, true), 7);
    // Left-handed the nut stands at the right edge.
    EXPECT_EQ(nut > ChartSurface::pictureWidth / 2, leftHanded());
    EXPECT_EQ(image.pixel(nut, row(0.8)), white) << "the nut ends at the top string";
}

TEST_P(ChartRendererTests, DrawChartGrid_FretWiresAreOnePixelWide) {
    const QImage image = blankChart();
    for (int wire = 1; wire <= 16; ++wire) {
        SCOPED_TRACE(wire);
        EXPECT_EQ(darkRunAcross(image, c(wire + 0.5), row(2.5), true), 1);
        EXPECT_EQ(image.pixel(c(wire + 0.5), row(2.5)), black);
    }
}

TEST_P(ChartRendererTests, DrawChartGrid_ThinTrebleAndThickBassStringsEndAtNutAndLastWire) {
    const QImage image = blankChart();
    for (int y = 1; y <= 6; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(darkRunAcross(image, c(2), row(y), false), y <= 3 ? 1 : 3);
        EXPECT_EQ(image.pixel(c(0), row(y)), white) << "nothing beyond the nut";
        EXPECT_EQ(image.pixel(c(16.8), row(y)), white) << "nothing beyond the last wire";
    }
}

TEST_P(ChartRendererTests, DrawChartGrid_PositionDotsAtTheInlayFrets) {
    const QImage image = blankChart();
    for (int fret = 1; fret <= 16; ++fret) {
        SCOPED_TRACE(fret);
        const bool single = fret == 3 || fret == 5 || fret == 7 || fret == 9 || fret == 15;
        EXPECT_EQ(image.pixel(c(fret), row(3.5)), single ? silver : white);
        EXPECT_EQ(image.pixel(c(fret), row(1.5)), fret == 12 ? silver : white);
        EXPECT_EQ(image.pixel(c(fret), row(5.5)), fret == 12 ? silver : white);
    }
    // An 8-pixel disc: silver three pixels from its centre, white at five.
    const int x = c(5);
    const int y = row(3.5);
    EXPECT_NEAR(qRed(image.pixel(x + 3, y)), 0xc0, 16);
    EXPECT_NEAR(qRed(image.pixel(x, y - 3)), 0xc0, 16);
    EXPECT_EQ(image.pixel(x + 5, y), white);
    EXPECT_EQ(image.pixel(x - 5, y), white);
    EXPECT_EQ(image.pixel(x, y + 5), white);
}

TEST_P(ChartRendererTests, DrawChartGrid_BlankChartHasNoTitle) {
    const QImage image = blankChart();
    const QRect titleBand(0, 0, ChartSurface::pictureWidth, row(0));
    EXPECT_EQ(lightCount(image, titleBand), titleBand.width() * titleBand.height());
}

TEST_P(ChartRendererTests, DrawChartGrid_ClearsAnEarlierChord) {
    chart(cmajFrets, QStringLiteral("1-3-4-2-1-1"), ChartStyle::fingering(), "Cmaj");
    EXPECT_EQ(blankChart(), chart(QString(), QString(), ChartStyle::fingering()));
}

TEST_P(ChartRendererTests, DrawChordMarks_FingeringChartHasWhiteMarksOnBlackDots) {
    const QImage image = chart(cmajFrets, QStringLiteral("1-3-4-2-1-1"), ChartStyle::fingering());
    for (const Mark& m : cmajMarks) {
        SCOPED_TRACE(QStringLiteral("fret %1 y %2").arg(m.fret).arg(m.y).toStdString());
        const int x = c(m.fret);
        const int y = row(m.y);
        EXPECT_EQ(image.pixel(x + 4, y), black);
        EXPECT_EQ(image.pixel(x, y - 5), black);
        EXPECT_GE(darkCount(image, QRect(x - 5, y - 5, 11, 11)), 60);
        EXPECT_GE(lightCount(image, QRect(x - 4, y - 5, 7, 8)), 4) << "white finger mark";
        EXPECT_EQ(image.pixel(x + 8, y - 4), white) << "dot wider than 12 pixels";
    }
}

TEST_P(ChartRendererTests, DrawChordMarks_IntervalChartBlanksStringsUnderBlackNames) {
    const QImage image = chart(cmajFrets, QStringLiteral("R-5-R-3-5-R"), ChartStyle::interval());
    for (const Mark& m : cmajMarks) {
        SCOPED_TRACE(QStringLiteral("fret %1 y %2").arg(m.fret).arg(m.y).toStdString());
        const int x = c(m.fret);
        const int y = row(m.y);
        // The string runs through these pixels; the 14-pixel white dot covers it.
        EXPECT_EQ(image.pixel(x + 5, y), white);
        EXPECT_EQ(image.pixel(x - 6, y), white);
        EXPECT_EQ(image.pixel(x + 8, y), black) << "string continues beyond the dot";
        EXPECT_GE(darkCount(image, QRect(x - 4, y - 5, 7, 8)), 4) << "black interval name";
    }
}

TEST_P(ChartRendererTests, DrawChordMarks_TitleStandsTopLeftInBothOrientations) {
    const QImage image = chart(cmajFrets, QStringLiteral("1-3-4-2-1-1"), ChartStyle::fingering(),
                               QStringLiteral("Cmaj"));
    EXPECT_GE(darkCount(image, QRect(0, 0, 30, row(0))), 10);
    EXPECT_EQ(darkCount(image, QRect(40, 0, ChartSurface::pictureWidth - 40, row(0) - 1)), 0);
}

struct MutedCase {
    const char* frets;
    const char* labels;
};

TEST_P(ChartRendererTests, DrawChordMarks_MutedStringsGetAWhiteDiscAndABlackX) {
    // Entry 3 at Pitch C, and the same with other texts that are not numbers.
    for (const MutedCase& muted :
         {MutedCase{"x-3-5-5-x-x", "x-1-3-4-x-x"}, MutedCase{"?-3-5-5--X", "x-1-3-4-x-x"}}) {
        SCOPED_TRACE(muted.frets);
        const QImage plain = chart(muted.frets, muted.labels, ChartStyle::fingering());

        ChartRenderer::DrawChartGrid(surface, leftHanded());
        // Black discs under the marker places show the white discs drawn over them.
        surface.setPenWidth(16);
        for (int y = 1; y <= 6; ++y)
            surface.drawDot({0, double(y)}, black);
        ChartRenderer::DrawChordMarks(surface, muted.frets, muted.labels, ChartStyle::fingering(),
                                      {}, leftHanded());
        const QImage overBlack = surface.image();

        for (int y = 1; y <= 6; ++y) {
            SCOPED_TRACE(y);
            const bool isMuted = y == 6 || y == 2 || y == 1;
            EXPECT_EQ(overBlack.pixel(c(0), row(y) - 5), isMuted ? white : black);
            // The "x" begins 0.15 units right of the disc in the logical window, which is
            // left of it on screen when left-handed.
            const QRect xBox(qRound(columnOf(0.15, leftHanded())), qRound(rowOf(y - 0.45)), 7, 12);
            if (isMuted)
                EXPECT_GE(darkCount(plain, xBox), 4);
            else
                EXPECT_EQ(darkCount(plain, xBox), 0);
        }
    }
}

TEST_P(ChartRendererTests, DrawChordMarks_OpenStringsShowAnOBesideTheNut) {
    // C x-3-2-0-1-0: the open G and e strings are marked like the muted A string, with "o"
    // whatever their label, and get no dot at the nut.
    for (const ChartStyle& style : {ChartStyle::fingering(), ChartStyle::interval()}) {
        const QImage open =
            chart(QStringLiteral("x-3-2-0-1-0"), QStringLiteral("x-3-2-0-1-0"), style);
        const QImage marked =
            chart(QStringLiteral("x-3-2-?-1-?"), QStringLiteral("x-3-2-o-1-o"), style);
        EXPECT_EQ(open, marked);
    }
}

TEST_P(ChartRendererTests, DrawChordMarks_FretSeventeenIsCutAtThePictureEdge) {
    // Entry 507 at Pitch D.
    const QImage image = chart(QStringLiteral("x-17-15-14-12-12"), QStringLiteral("x-4-3-2-1-1"),
                               ChartStyle::fingering());
    const int y = row(5);
    const int edge = leftHanded() ? 0 : ChartSurface::pictureWidth - 1;
    const int inward = leftHanded() ? 1 : -1;
    EXPECT_EQ(image.pixel(edge + inward, y + 3), black);
    EXPECT_TRUE(isDark(image.pixel(edge + 3 * inward, y + 4)));
    EXPECT_EQ(image.pixel(edge + 7 * inward, y - 3), white) << "only half the dot shows";
    EXPECT_GE(lightCount(image, QRect(leftHanded() ? 0 : edge - 3, y - 5, 4, 8)), 1)
        << "part of the label shows";
}

TEST_P(ChartRendererTests, DrawChordMarks_LongerLabelStartsWhereAShortOneStarts) {
    const QString frets = QStringLiteral("x-x-x-8-x-x");
    const QImage shortLabel = chart(frets, QStringLiteral("x-x-x-b-x-x"), ChartStyle::interval());
    const QImage longLabel = chart(frets, QStringLiteral("x-x-x-b3-x-x"), ChartStyle::interval());
    const int left = labelLeft(8);
    int differing = 0;
    int rightmost = -1;
    for (int y = 0; y < shortLabel.height(); ++y)
        for (int x = 0; x < shortLabel.width(); ++x)
            if (shortLabel.pixel(x, y) != longLabel.pixel(x, y)) {
                ++differing;
                rightmost = std::max(rightmost, x);
                EXPECT_GE(x, left + 5) << "the first character moved";
            }
    EXPECT_GT(differing, 10);
    EXPECT_GT(rightmost, c(8) + 7) << "the second character extends beyond the dot";
}

TEST_P(ChartRendererTests, DrawChordMarks_ShortFretListLeavesHigherStringsBare) {
    const QImage blank = blankChart();
    const QImage image =
        chart(QStringLiteral("8-10"), QStringLiteral("1-3"), ChartStyle::fingering());
    EXPECT_EQ(image.copy(0, 0, image.width(), row(4.3)), blank.copy(0, 0, blank.width(), row(4.3)));
    EXPECT_EQ(image.pixel(c(8) + 4, row(6)), black);
    EXPECT_EQ(image.pixel(c(10) + 4, row(5)), black);
    EXPECT_TRUE(isDark(image.pixel(c(10), row(5) + 5)));
}

TEST_P(ChartRendererTests, DrawChordMarks_MissingLabelsPrintNothing) {
    const QImage image = chart(cmajFrets, QStringLiteral("1-3"), ChartStyle::fingering());
    for (const Mark& m : cmajMarks) {
        SCOPED_TRACE(m.y);
        const QRect labelBox(c(m.fret) - 4, row(m.y) - 5, 7, 8);
        EXPECT_EQ(image.pixel(c(m.fret) + 4, row(m.y)), black);
        if (m.y >= 5)
            EXPECT_GE(lightCount(image, labelBox), 4);
        else
            EXPECT_EQ(lightCount(image, labelBox), 0);
    }
}

TEST_P(ChartRendererTests, DrawChordMarks_DrawsOverAnEarlierChordWithoutClearing) {
    ChartRenderer::DrawChartGrid(surface, leftHanded());
    ChartRenderer::DrawChordMarks(surface, "8", "1", ChartStyle::fingering(), {}, leftHanded());
    ChartRenderer::DrawChordMarks(surface, "3", "1", ChartStyle::fingering(), {}, leftHanded());
    EXPECT_EQ(surface.image().pixel(c(8) + 4, row(6)), black);
    EXPECT_EQ(surface.image().pixel(c(3) + 4, row(6)), black);
}

TEST_P(ChartRendererTests, DrawChordMarks_LeavesLabelFontPenWidthAndBlackText) {
    ChartSurface interval(ChartSurface::msSansSerifBold());
    ChartRenderer::DrawChartGrid(interval, leftHanded());
    ChartRenderer::DrawChordMarks(interval, cmajFrets, QStringLiteral("R-5-R-3-5-R"),
                                  ChartStyle::interval(), QStringLiteral("Cmaj"), leftHanded());
    EXPECT_EQ(interval.penWidth(), 14);
    EXPECT_EQ(interval.textColour(), black);
    EXPECT_EQ(interval.font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(interval.font().pointSizeF(), 8.0);
    EXPECT_TRUE(interval.font().bold()) << "the weight stays from the initial font";
    EXPECT_TRUE(QFontInfo(interval.font()).fixedPitch()) << "resolves to a monospaced face";
}

TEST_P(ChartRendererTests, DrawChordMarks_DotWidthRoundsToWholePixels) {
    const struct {
        float width;
        int pixels;
    } cases[] = {{12.0f, 12}, {12.4f, 12}, {12.5f, 12}, {13.5f, 14}, {14.6f, 15}, {1.0f, 1}};
    for (const auto& test : cases) {
        ChartRenderer::DrawChordMarks(surface, "8", "1", test.width, white, black, {},
                                      leftHanded());
        EXPECT_EQ(surface.penWidth(), test.pixels) << test.width;
    }
    const struct {
        float width;
        int failure;
    } failing[] = {{0.4f, 380}, {-3.0f, 380}, {40000.0f, 6}};
    for (const auto& test : failing) {
        try {
            ChartRenderer::DrawChordMarks(surface, "8", "1", test.width, white, black, {},
                                          leftHanded());
            ADD_FAILURE() << "no failure for " << test.width;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.number(), test.failure) << test.width;
        }
    }
}

TEST_P(ChartRendererTests, DrawingAChartTakesUnderAMillisecond) {
    ChartSurface fingering;
    ChartSurface interval(ChartSurface::msSansSerifBold());
    const int rounds = 300;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i) {
        ChartRenderer::DrawChartGrid(fingering, leftHanded());
        ChartRenderer::DrawChordMarks(fingering, cmajFrets, QStringLiteral("1-3-4-2-1-1"),
                                      ChartStyle::fingering(), QStringLiteral("Cmaj"),
                                      leftHanded());
        ChartRenderer::DrawChartGrid(interval, leftHanded());
        ChartRenderer::DrawChordMarks(interval, cmajFrets, QStringLiteral("R-5-R-3-5-R"),
                                      ChartStyle::interval(), QStringLiteral("Cmaj"), leftHanded());
        (void)fingering.image();
        (void)interval.image();
    }
    const double perChart = timer.nsecsElapsed() / 1000.0 / (2 * rounds);
    RecordProperty("MicrosecondsPerChart", QString::number(perChart, 'f', 1).toStdString());
    std::printf("[ timing   ] %.1f us per chart\n", perChart);
    // Generous: a shared build machine must not make this flaky, but a font lookup or a
    // new image per draw would show.
    EXPECT_LT(perChart, 1000.0);
}

// The empty fretboard is drawn once and then copied: a copy must erase every earlier chord and
// leave the drawing state a drawn grid leaves, in each orientation.
TEST(ChartRendererGridTests, DrawChartGrid_RepeatedGridErasesTheChordAndKeepsTheState) {
    for (const bool leftHanded : {false, true}) {
        ChartSurface first;
        ChartRenderer::DrawChartGrid(first, leftHanded);
        const QImage grid = first.image().copy();

        ChartSurface other(ChartSurface::msSansSerifBold());
        ChartRenderer::DrawChartGrid(other, !leftHanded);
        ChartRenderer::DrawChordMarks(other, QStringLiteral("8-10-10-9-8-8"),
                                      QStringLiteral("1-3-4-2-1-1"), 12, 0xffffffff, 0xff000000,
                                      QStringLiteral("Cmaj"), !leftHanded);
        other.setTextColour(0xff123456);
        EXPECT_EQ(ChartRenderer::DrawChartGrid(other, leftHanded), 16);
        EXPECT_EQ(other.image(), grid) << "left-handed " << leftHanded;
        EXPECT_EQ(other.textColour(), first.textColour());
        EXPECT_EQ(other.penWidth(), first.penWidth());
        EXPECT_EQ(other.backgroundColour(), 0xffffffff);
        EXPECT_EQ(other.windowTopLeft(), first.windowTopLeft());
        EXPECT_EQ(other.windowBottomRight(), first.windowBottomRight());
    }
}
