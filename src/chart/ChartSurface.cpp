#include "chart/ChartSurface.h"

#include <cstring>

#include "base/Failure.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <cmath>

QFont ChartSurface::arialBold() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(9.0);
    font.setBold(true);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QFont ChartSurface::msSansSerifBold() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    font.setBold(true);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

ChartSurface::ChartSurface(const QFont& initialFont)
    : m_image(pictureWidth, pictureHeight, QImage::Format_RGB32), m_font(initialFont) {
    m_image.setDotsPerMeterX(dotsPerMetre);
    m_image.setDotsPerMeterY(dotsPerMetre);
    m_image.fill(m_backgroundColour);
}

ChartSurface::ChartSurface(QPainter& outside, const QFont& initialFont)
    : m_font(initialFont), m_outside(&outside) {
    outside.setRenderHint(QPainter::Antialiasing, true);
    outside.setRenderHint(QPainter::TextAntialiasing, true);
    outside.setFont(drawingFont());
}

ChartSurface::~ChartSurface() {
    finishPainting();
}

ChartSurface::ChartSurface(const ChartSurface& other)
    : m_backgroundColour(other.m_backgroundColour), m_penWidth(other.m_penWidth),
      m_textColour(other.m_textColour), m_font(other.m_font), m_fontAscent(other.m_fontAscent),
      m_currentPosition(other.m_currentPosition), m_windowTopLeft(other.m_windowTopLeft),
      m_windowBottomRight(other.m_windowBottomRight), m_outside(other.m_outside) {
    other.finishPainting();
    m_image = other.m_image;
}

ChartSurface& ChartSurface::operator=(const ChartSurface& other) {
    if (this != &other) {
        ChartSurface copy(other);
        *this = std::move(copy);
    }
    return *this;
}

ChartSurface::ChartSurface(ChartSurface&& other) noexcept
    : m_backgroundColour(other.m_backgroundColour), m_penWidth(other.m_penWidth),
      m_textColour(other.m_textColour), m_font(std::move(other.m_font)),
      m_fontAscent(other.m_fontAscent), m_currentPosition(other.m_currentPosition),
      m_windowTopLeft(other.m_windowTopLeft), m_windowBottomRight(other.m_windowBottomRight),
      m_outside(other.m_outside) {
    // The painter points at the other object's image; end it before the image moves.
    other.finishPainting();
    m_image = std::move(other.m_image);
}

ChartSurface& ChartSurface::operator=(ChartSurface&& other) noexcept {
    if (this != &other) {
        finishPainting();
        other.finishPainting();
        m_image = std::move(other.m_image);
        m_backgroundColour = other.m_backgroundColour;
        m_penWidth = other.m_penWidth;
        m_textColour = other.m_textColour;
        m_font = std::move(other.m_font);
        m_fontAscent = other.m_fontAscent;
        m_currentPosition = other.m_currentPosition;
        m_windowTopLeft = other.m_windowTopLeft;
        m_windowBottomRight = other.m_windowBottomRight;
        m_outside = other.m_outside;
    }
    return *this;
}

const QImage& ChartSurface::image() const {
    finishPainting();
    return m_image;
}

void ChartSurface::setBackgroundColour(QRgb colour) {
    m_backgroundColour = colour;
    clear();
}

void ChartSurface::clear() {
    if (m_outside) {
        m_outside->fillRect(QRect(0, 0, pictureWidth, pictureHeight),
                            QColor::fromRgb(m_backgroundColour));
        return;
    }
    // fill() on an unshared image reuses its buffer; an active painter would keep its own
    // view of the device, so end it first.
    finishPainting();
    m_image.fill(m_backgroundColour);
}

void ChartSurface::restorePixels(const QImage& pixels) {
    if (m_outside) {
        m_outside->drawImage(QPoint(0, 0), pixels);
        return;
    }
    finishPainting();
    if (pixels.size() != m_image.size())
        return;
    const QImage source =
        pixels.format() == m_image.format() ? pixels : pixels.convertToFormat(m_image.format());
    // Row by row into the picture's own buffer: no new image, and an unshared buffer stays so.
    for (int y = 0; y < m_image.height(); ++y)
        std::memcpy(m_image.scanLine(y), source.constScanLine(y),
                    size_t(m_image.width()) * sizeof(QRgb));
}

void ChartSurface::setPenWidth(int pixels) {
    if (pixels < 1 || pixels > 32767)
        throw Failure::invalidPropertyValue();
    m_penWidth = pixels;
}

void ChartSurface::setFontName(const QString& family) {
    if (m_font.family() == family)
        return; // keeps the resolved font, so a redraw does no font matching
    m_font.setFamily(family);
    fontChanged();
}

void ChartSurface::setFontSize(qreal points) {
    if (m_font.pointSizeF() == points)
        return;
    m_font.setPointSizeF(points);
    fontChanged();
}

void ChartSurface::fontChanged() {
    m_fontAscent = -1;
    if (m_painter)
        m_painter->setFont(m_font);
    if (m_outside)
        m_outside->setFont(drawingFont());
}

QFont ChartSurface::drawingFont() const {
    if (!m_outside || !m_outside->device())
        return m_font;
    // The painter sizes point fonts by its device's resolution; scaled to 96 dpi, text keeps
    // the size it has on the picture, and the transform alone scales it.
    const int dpi = m_outside->device()->logicalDpiY();
    QFont font = m_font;
    if (dpi > 0 && dpi != 96 && font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 96.0 / dpi);
    return font;
}

void ChartSurface::setCoordinateWindow(QPointF topLeft, QPointF bottomRight) {
    if (topLeft.x() == bottomRight.x() || topLeft.y() == bottomRight.y())
        throw Failure::invalidProcedureCall();
    m_windowTopLeft = topLeft;
    m_windowBottomRight = bottomRight;
}

QPointF ChartSurface::toPixels(QPointF logical) const {
    const qreal x = (logical.x() - m_windowTopLeft.x()) * pictureWidth /
                    (m_windowBottomRight.x() - m_windowTopLeft.x());
    const qreal y = (logical.y() - m_windowTopLeft.y()) * pictureHeight /
                    (m_windowBottomRight.y() - m_windowTopLeft.y());
    return {x, y};
}

int ChartSurface::pixelIndex(qreal p) {
    return static_cast<int>(std::floor(p));
}

QPainter& ChartSurface::painter() {
    if (m_outside)
        return *m_outside;
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(&m_image);
        m_painter->setRenderHint(QPainter::Antialiasing, true);
        m_painter->setRenderHint(QPainter::TextAntialiasing, true);
        m_painter->setFont(m_font);
    }
    return *m_painter;
}

void ChartSurface::finishPainting() const {
    if (m_painter) {
        m_painter->end();
        m_painter.reset();
    }
}

void ChartSurface::drawLine(QPointF from, QPointF to, QRgb colour) {
    const QPointF a = toPixels(from);
    const QPointF b = toPixels(to);
    const int w = m_penWidth;
    const QColor c = QColor::fromRgb(colour);
    QPainter& p = painter();
    if (a.y() == b.y() || a.x() == b.x()) {
        // Axis-parallel lines (all that a chart has) as whole-pixel rectangles: crisp, and
        // much cheaper than stroking.
        const bool horizontal = a.y() == b.y();
        const int c1 = pixelIndex(horizontal ? a.x() : a.y());
        const int c2 = pixelIndex(horizontal ? b.x() : b.y());
        const int across = pixelIndex(horizontal ? a.y() : a.x()) - w / 2;
        const int start = std::min(c1, c2);
        const int length = std::abs(c2 - c1) + 1;
        p.fillRect(horizontal ? QRect(start, across, length, w) : QRect(across, start, w, length),
                   c);
        return;
    }
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(c, w, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(a, b);
    p.setRenderHint(QPainter::Antialiasing, true);
}

void ChartSurface::drawDot(QPointF centre, QRgb colour) {
    const QPointF at = toPixels(centre);
    const int px = pixelIndex(at.x());
    const int py = pixelIndex(at.y());
    if (m_penWidth == 1 && m_outside) {
        m_outside->fillRect(QRect(px, py, 1, 1), QColor::fromRgb(colour));
        return;
    }
    if (m_penWidth == 1) {
        if (m_image.rect().contains(px, py)) {
            finishPainting();
            m_image.setPixel(px, py, colour);
        }
        return;
    }
    // Centre the disc where a line of the same width through this point is centred, so a
    // dot sits exactly on its string: odd widths on a pixel's middle, even ones on a corner.
    const qreal half = m_penWidth / 2.0;
    const QPointF discCentre(px - m_penWidth / 2 + half, py - m_penWidth / 2 + half);
    QPainter& p = painter();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgb(colour));
    p.drawEllipse(discCentre, half, half);
}

void ChartSurface::print(const QString& text) {
    if (text.isEmpty())
        return;
    if (m_fontAscent < 0) {
        m_fontAscent = m_outside && m_outside->device()
                           ? QFontMetrics(drawingFont(), m_outside->device()).ascent()
                           : QFontMetrics(m_font, &m_image).ascent();
    }
    const QPointF at = toPixels(m_currentPosition);
    // A whole-pixel baseline keeps the hinted glyphs sharp; rounding (not truncating) keeps
    // a label centred on its dot as well as whole pixels allow.
    const QPoint baseline(qRound(at.x()), qRound(at.y()) + static_cast<int>(m_fontAscent));
    QPainter& p = painter();
    p.setPen(QColor::fromRgb(m_textColour));
    p.drawText(baseline, text);
}
