#pragma once

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRgb>
#include <QString>
#include <memory>

class QPainter;

// A chart picture: the persistent 516 x 117 pixel image that a chart is drawn on (and that an
// export saves), with the drawing state that stays between drawing calls: background colour,
// pen width, text colour, font, current text position and a logical coordinate window.
//
// Logical coordinates map linearly onto the image: the window's top-left corner (left, top)
// falls on pixel position (0, 0) and its bottom-right corner (right, bottom) on (516, 117).
// A window with left > right mirrors the picture left to right, so the chart window
// (17, -1)..(-0.5, 7) puts x = 17 at the left edge and x = -0.5 at the right edge.
//
// Lines are drawn without antialiasing on whole pixels, so a 1-pixel line stays one pixel
// wide; dots and text are antialiased. The image has 3780 dots per metre (96 dpi), so a
// point size gives the same pixel size on every machine: 8 pt is about 10.7 pixels.
//
// Drawing goes into the image at once; image() returns it with every drawing call so far.
class ChartSurface {
public:
    static constexpr int pictureWidth = 516;  // pixels
    static constexpr int pictureHeight = 117; // pixels
    static constexpr int dotsPerMetre = 3780; // 96 dpi

    // The initial fonts of the program's three chart pictures: the fingering and blank charts
    // take Arial 9 pt bold, the interval chart "MS Sans Serif" 8.25 pt bold. Fonts that are not
    // installed resolve through the system's font substitution (Arial to Liberation Sans).
    static QFont arialBold();
    static QFont msSansSerifBold();

    // A white picture, background white, pen width 1, text colour black, current position
    // (0, 0), window (0, 0)..(516, 117) (one unit per pixel), font `initialFont`.
    explicit ChartSurface(const QFont& initialFont = arialBold());
    // A surface that draws through `outside` (active on an SVG generator, a PDF writer or a
    // page of a sheet) instead of into its own image, in the same 516 x 117 pixel geometry:
    // lines, dots and text become the painter's vector drawing, placed and scaled by the
    // painter's transform. Fonts keep their pixel size of a 96 dpi picture whatever the
    // device's resolution. image() is then a null image. The painter must outlive the surface.
    ChartSurface(QPainter& outside, const QFont& initialFont = arialBold());
    ~ChartSurface();
    ChartSurface(const ChartSurface& other);
    ChartSurface& operator=(const ChartSurface& other);
    ChartSurface(ChartSurface&& other) noexcept;
    ChartSurface& operator=(ChartSurface&& other) noexcept;

    // The picture with everything drawn so far: 516 x 117, QImage::Format_RGB32.
    const QImage& image() const;
    // Whether the surface draws through an outside painter rather than into its image.
    bool drawsOutside() const { return m_outside != nullptr; }

    QRgb backgroundColour() const { return m_backgroundColour; }
    // Sets the background colour and fills the whole picture with it, erasing every drawing.
    void setBackgroundColour(QRgb colour);
    // Fills the whole picture with the background colour.
    void clear();
    // Sets the background colour for later clears without filling the picture now.
    void setBackgroundColourWithoutFill(QRgb colour) { m_backgroundColour = colour; }
    // Replaces the whole picture with `pixels` (same size; converted to RGB32 if needed), as
    // a clear followed by drawing would; the drawing state stays as it is.
    void restorePixels(const QImage& pixels);

    int penWidth() const { return m_penWidth; }
    // Width of lines and diameter of dots in pixels, 1 to 32767; outside that range it
    // throws Failure::invalidPropertyValue() and keeps the old width.
    void setPenWidth(int pixels);

    QRgb textColour() const { return m_textColour; }
    void setTextColour(QRgb colour) { m_textColour = colour; }

    const QFont& font() const { return m_font; }
    // Change only the face name, keeping size and weight ("Courier New").
    void setFontName(const QString& family);
    // Change only the size in points, keeping name and weight (8.0).
    void setFontSize(qreal points);

    // Where print() puts the top-left corner of its text, in logical coordinates.
    QPointF currentPosition() const { return m_currentPosition; }
    void setCurrentPosition(QPointF logical) { m_currentPosition = logical; }

    // The logical coordinates of the picture's top-left and bottom-right corners. The two
    // corners must differ in both x and y. Example: (-0.5, -1), (17, 7).
    void setCoordinateWindow(QPointF topLeft, QPointF bottomRight);
    QPointF windowTopLeft() const { return m_windowTopLeft; }
    QPointF windowBottomRight() const { return m_windowBottomRight; }

    // Pixel position of a logical point, measured from the picture's top-left corner, not
    // rounded: with the window (-0.5, -1)..(17, 7), (0.5, 1) maps to (29.49, 29.25).
    QPointF toPixels(QPointF logical) const;

    // A line of the pen width in `colour` between two logical points, flat-ended. Horizontal
    // and vertical lines cover whole pixels: a line of width w centred on pixel row r covers
    // rows r - w/2 .. r - w/2 + w - 1 (integer division) and both end pixels.
    void drawLine(QPointF from, QPointF to, QRgb colour);

    // A filled disc in `colour` whose diameter is the pen width, centred on the logical
    // point where a line of that width through the point would be centred. Width 1 sets
    // the one pixel.
    void drawDot(QPointF centre, QRgb colour);

    // Prints `text` in the current font and text colour, without a background, with the
    // text's top-left corner at the current position (rounded to the nearest whole pixel).
    // Text always runs left to right on screen, also in a mirrored window. The current
    // position does not move.
    void print(const QString& text);

private:
    // The whole pixel that holds pixel position p (floor, also for negative p).
    static int pixelIndex(qreal p);
    // Starts painting on the image if no painter is active yet; returns the painter.
    QPainter& painter();
    // Ends painting, so that the image can be handed out, copied or moved.
    void finishPainting() const;
    void fontChanged();
    // The font to draw with: m_font, sized for the outside painter's device if there is one.
    QFont drawingFont() const;

    QImage m_image;
    QRgb m_backgroundColour = 0xffffffff;
    int m_penWidth = 1;
    QRgb m_textColour = 0xff000000;
    QFont m_font;
    qreal m_fontAscent = -1; // pixels; negative until measured for m_font
    QPointF m_currentPosition;
    QPointF m_windowTopLeft{0, 0};
    QPointF m_windowBottomRight{pictureWidth, pictureHeight};
    // One painter stays active across drawing calls: starting a painter per line or dot
    // would cost more than the drawing itself.
    mutable std::unique_ptr<QPainter> m_painter;
    QPainter* m_outside = nullptr;
};
