#include "chart/ChordBox.h"

#include "base/Failure.h"
#include "chart/ChartSurface.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

namespace {

// The box is drawn at 100 units per string spacing and scaled by the painter, so that fonts
// get whole pixel sizes fine enough for any scale, and every device draws the same shapes.
constexpr qreal unit = 100;

// Proportions of a printed chord box, in string spacings.
constexpr qreal nameBaseline = 1.2;
constexpr qreal nameSize = 1.15;
constexpr qreal markCentre = 1.8; // "o" and "x"
constexpr qreal gridTop = 2.65;   // the nut's lower edge, or the top line
constexpr qreal fretGap = 1.3;
constexpr qreal bottomMargin = 0.3;
constexpr qreal lineWidth = 0.065;
constexpr qreal nutThickness = 0.26;
constexpr qreal dotDiameter = 0.82;
constexpr qreal labelSize = 0.62;
// The smallest label: 6 pt on a sheet whose labels are 7.3 pt at labelSize. A label that does
// not fit its dot at this size widens the dot rather than shrinking further.
constexpr qreal minLabelSize = 0.52;
constexpr qreal labelRoom = 0.8; // of the dot's diameter that a label may fill
constexpr qreal openDiameter = 0.46;
constexpr qreal mutedHalf = 0.2;
constexpr qreal markWidth = 0.085;
constexpr qreal capoOverhang = 0.38; // beyond the outer strings
constexpr qreal capoThickness = 0.56;
constexpr qreal capoTextSize = 0.52; // "capo 3" in the bar, 6 pt where labels are 7.3 pt
constexpr qreal sideSize = 0.55;     // "5fr", and "capo 3" when the box does not start at the capo
constexpr qreal sideGap = 0.56;      // between those and the outer string, clear of its dots
constexpr qreal minSide = 1.3;

// The highest fret at which a shape without open strings is still drawn from the nut.
constexpr int lastNutFret = 2;

constexpr QRgb ink = 0xff000000;
constexpr QRgb paper = 0xffffffff;
constexpr QRgb capoColour = 0xff404040;

const QString fontFamily = QStringLiteral("Arial");
// A narrower face for labels too wide for their dot ("#11"); fontconfig maps it to Liberation
// Sans Narrow.
const QString narrowFamily = QStringLiteral("Arial Narrow");

QFont boxFont(qreal spacings, bool bold, const QString& family = fontFamily) {
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, qRound(spacings * unit)));
    font.setBold(bold);
    return font;
}

QString baseFretText(int baseFret) {
    return QStringLiteral("%1fr").arg(baseFret);
}

QString capoText(int capo) {
    return QStringLiteral("capo %1").arg(capo);
}

// Width in spacings of a text in the side margins' font.
qreal sideTextWidth(const QString& text) {
    return QFontMetricsF(boxFont(sideSize, false)).horizontalAdvance(text) / unit;
}

// Prints `text` centred on `centre`, its capitals centred vertically.
void drawCentred(QPainter& painter, const QString& text, QPointF centre) {
    const QFontMetricsF metrics(painter.font());
    const qreal width = metrics.horizontalAdvance(text);
    painter.drawText(QPointF(centre.x() - width / 2, centre.y() + metrics.capHeight() / 2), text);
}

// The font of one dot's label: the label size, a narrower face when that is too wide for the
// dot, and smaller still if the narrow face does not fit either, down to minLabelSize.
QFont labelFont(const QString& text) {
    const qreal room = dotDiameter * labelRoom * unit;
    QFont font = boxFont(labelSize, true);
    if (QFontMetricsF(font).horizontalAdvance(text) <= room)
        return font;
    font = boxFont(labelSize, true, narrowFamily);
    const qreal width = QFontMetricsF(font).horizontalAdvance(text);
    if (width > room) {
        const int smallest = qRound(minLabelSize * unit);
        font.setPixelSize(std::max(smallest, int(font.pixelSize() * room / width)));
    }
    return font;
}

// The width of the dot under `text`: the dot's diameter, or wider for a label that does not fit
// it at the smallest label size.
qreal dotWidthFor(const QString& text) {
    const qreal dot = dotDiameter * unit;
    if (text.isEmpty())
        return dot;
    return std::max(dot, QFontMetricsF(labelFont(text)).horizontalAdvance(text) / labelRoom);
}

bool heldByBarre(const ChordDiagram& diagram, int index, const ChordDiagram::Barre& barre) {
    const ChordDiagram::String& s = diagram.strings[index];
    return index >= barre.first && index <= barre.last && s.fret == barre.fret &&
           s.finger == barre.finger;
}

QPen linePen(qreal width, Qt::PenCapStyle cap = Qt::FlatCap) {
    return QPen(QColor::fromRgb(ink), width * unit, Qt::SolidLine, cap, Qt::MiterJoin);
}

} // namespace

qreal ChordBox::Layout::stringX(int index) const {
    const int column = leftHanded ? strings - 1 - index : index;
    return origin.x() + (side + column) * spacing;
}

qreal ChordBox::Layout::wireY(int wire) const {
    return origin.y() + (gridTop + wire * fretGap) * spacing;
}

qreal ChordBox::Layout::fretY(int fret) const {
    return origin.y() + (gridTop + (fret - baseFret + 0.5) * fretGap) * spacing;
}

qreal ChordBox::Layout::markY() const {
    return origin.y() + markCentre * spacing;
}

QRectF ChordBox::Layout::nameRect() const {
    return {origin, QSizeF(size().width(), (nameBaseline + 0.35) * spacing)};
}

QRectF ChordBox::Layout::grid() const {
    const qreal left = std::min(stringX(0), stringX(strings - 1));
    return {QPointF(left, wireY(0)), QSizeF((strings - 1) * spacing, wireY(rows) - wireY(0))};
}

QSizeF ChordBox::Layout::size() const {
    return {(2 * side + strings - 1) * spacing,
            (gridTop + rows * fretGap + bottomMargin) * spacing};
}

int ChordBox::baseFret(const ChordDiagram& diagram, const Options& options) {
    if (options.firstFret > 0) {
        const int lowest = diagram.lowestFret();
        return lowest > 0 ? std::min(options.firstFret, lowest) : options.firstFret;
    }
    const int rows = std::max(options.fretRows, minFretRows);
    // Chord books draw the nut for open shapes and those held at the first frets; a shape
    // stopped from the third fret up is movable, and its box starts where it does.
    const bool soundsOpen =
        std::any_of(diagram.strings.cbegin(), diagram.strings.cend(),
                    [](const ChordDiagram::String& s) { return s.fret == ChordDiagram::open; });
    const bool nearTheNut = soundsOpen || diagram.lowestFret() <= lastNutFret;
    return diagram.highestFret() <= rows && nearTheNut ? 1 : diagram.lowestFret();
}

int ChordBox::fretRows(const ChordDiagram& diagram, const Options& options) {
    const int rows = std::max(options.fretRows, minFretRows);
    return std::max(rows, diagram.highestFret() - baseFret(diagram, options) + 1);
}

ChordBox::Layout ChordBox::layout(const ChordDiagram& diagram, const Options& options,
                                  qreal spacing, QPointF origin) {
    Layout l;
    l.strings = int(diagram.strings.size());
    l.baseFret = baseFret(diagram, options);
    l.rows = fretRows(diagram, options);
    l.leftHanded = options.leftHanded;
    l.spacing = spacing;
    l.origin = origin;
    // Both margins are as wide as the wider, so that the strings stay centred under the name
    // and the left-handed box is the exact mirror image.
    qreal text = 0;
    if (l.baseFret > 1)
        text = sideTextWidth(baseFretText(l.baseFret));
    if (diagram.capo > 0 && l.baseFret > 1)
        text = std::max(text, sideTextWidth(capoText(diagram.capo)));
    l.side = std::max(minSide, text + sideGap);
    return l;
}

QSizeF ChordBox::extent(const ChordDiagram& diagram, const Options& options) {
    return layout(diagram, options, 1).size();
}

QString ChordBox::label(const ChordDiagram::String& string, Labels labels) {
    if (string.fret <= ChordDiagram::open)
        return {};
    switch (labels) {
    case Labels::Fingers:
        if (string.finger == ChordDiagram::thumb)
            return QStringLiteral("T");
        return string.finger == ChordDiagram::noFinger ? QString() : QString::number(string.finger);
    case Labels::Intervals:
        return string.interval;
    case Labels::Notes:
        return string.note;
    case Labels::None:
        break;
    }
    return {};
}

namespace {

// The horizontal extent of the strings, and half a line's width.
struct Span {
    qreal left;
    qreal right;
    qreal half = lineWidth * unit / 2;
};

Span spanOf(const ChordBox::Layout& l) {
    const int last = l.strings - 1;
    return {std::min(l.stringX(0), l.stringX(last)), std::max(l.stringX(0), l.stringX(last))};
}

// The wires, flat-ended just beyond the outer strings so the corners close; the strings; and
// the nut, or the capo where the nut would be.
void drawGrid(QPainter& painter, const ChordDiagram& diagram, const ChordBox::Layout& l) {
    const Span x = spanOf(l);
    painter.setPen(linePen(lineWidth));
    painter.setBrush(Qt::NoBrush);
    for (int wire = 0; wire <= l.rows; ++wire)
        painter.drawLine(QPointF(x.left - x.half, l.wireY(wire)),
                         QPointF(x.right + x.half, l.wireY(wire)));
    for (int i = 0; i < l.strings; ++i)
        painter.drawLine(QPointF(l.stringX(i), l.wireY(0)), QPointF(l.stringX(i), l.wireY(l.rows)));

    painter.setPen(Qt::NoPen);
    if (l.baseFret == 1 && diagram.capo > 0) {
        // A rounded bar wider than the strings, with its fret written on it.
        const qreal over = capoOverhang * unit;
        const qreal thick = capoThickness * unit;
        painter.setBrush(QColor::fromRgb(capoColour));
        painter.drawRoundedRect(
            QRectF(x.left - over, l.wireY(0) - thick, x.right - x.left + 2 * over, thick + x.half),
            thick / 2, thick / 2);
        painter.setPen(QColor::fromRgb(paper));
        painter.setFont(boxFont(capoTextSize, true));
        drawCentred(painter, capoText(diagram.capo),
                    QPointF((x.left + x.right) / 2, l.wireY(0) - (thick - x.half) / 2));
    } else if (l.baseFret == 1) {
        painter.setBrush(QColor::fromRgb(ink));
        painter.drawRect(QRectF(x.left - x.half, l.wireY(0) - nutThickness * unit,
                                x.right - x.left + 2 * x.half, nutThickness * unit + x.half));
    }
}

// Barres, then the dots of the strings no barre holds, then the labels in them.
void drawDots(QPainter& painter, const ChordDiagram& diagram, const ChordBox::Options& options,
              const ChordBox::Layout& l) {
    const QList<ChordDiagram::Barre> barres = diagram.barres();
    const qreal dot = dotDiameter * unit;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgb(ink));
    for (const ChordDiagram::Barre& b : barres) {
        const qreal x1 = std::min(l.stringX(b.first), l.stringX(b.last));
        const qreal x2 = std::max(l.stringX(b.first), l.stringX(b.last));
        painter.drawRoundedRect(QRectF(x1 - dot / 2, l.fretY(b.fret) - dot / 2, x2 - x1 + dot, dot),
                                dot / 2, dot / 2);
    }
    const auto heldByAnyBarre = [&](int i) {
        return std::any_of(barres.cbegin(), barres.cend(),
                           [&](const auto& b) { return heldByBarre(diagram, i, b); });
    };
    for (int i = 0; i < l.strings; ++i) {
        const ChordDiagram::String& s = diagram.strings[i];
        if (s.fret <= ChordDiagram::open || heldByAnyBarre(i))
            continue;
        const qreal width = dotWidthFor(ChordBox::label(s, options.labels));
        painter.drawRoundedRect(
            QRectF(l.stringX(i) - width / 2, l.fretY(s.fret) - dot / 2, width, dot), dot / 2,
            dot / 2);
    }
    painter.setPen(QColor::fromRgb(paper));
    for (int i = 0; i < l.strings; ++i) {
        const QString text = ChordBox::label(diagram.strings[i], options.labels);
        if (text.isEmpty())
            continue;
        // A barre's finger is named once, at its bass end; intervals and notes differ from
        // string to string and stand on each string the barre holds.
        const bool repeatedFinger = options.labels == ChordBox::Labels::Fingers &&
                                    std::any_of(barres.cbegin(), barres.cend(), [&](const auto& b) {
                                        return b.first != i && heldByBarre(diagram, i, b);
                                    });
        if (repeatedFinger)
            continue;
        painter.setFont(labelFont(text));
        drawCentred(painter, text, QPointF(l.stringX(i), l.fretY(diagram.strings[i].fret)));
    }
}

// "o" over open strings, "x" over muted ones.
void drawStringMarks(QPainter& painter, const ChordDiagram& diagram, const ChordBox::Layout& l) {
    painter.setBrush(Qt::NoBrush);
    painter.setPen(linePen(markWidth, Qt::RoundCap));
    const qreal y = l.markY();
    for (int i = 0; i < l.strings; ++i) {
        const qreal x = l.stringX(i);
        if (diagram.strings[i].fret == ChordDiagram::open) {
            const qreal r = openDiameter * unit / 2;
            painter.drawEllipse(QPointF(x, y), r, r);
        } else if (diagram.strings[i].fret == ChordDiagram::muted) {
            const qreal d = mutedHalf * unit;
            painter.drawLine(QPointF(x - d, y - d), QPointF(x + d, y + d));
            painter.drawLine(QPointF(x - d, y + d), QPointF(x + d, y - d));
        }
    }
}

// The base fret beside the first row on the bass side, the capo on the treble side when the
// box does not start at it, each against the grid; the chord's name above, narrowed to fit.
void drawTexts(QPainter& painter, const ChordDiagram& diagram, const ChordBox::Layout& l) {
    const Span x = spanOf(l);
    painter.setPen(QColor::fromRgb(ink));
    painter.setFont(boxFont(sideSize, false));
    const QFontMetricsF side(painter.font());
    const qreal gap = sideGap * unit;
    const auto sideText = [&](const QString& text, bool onLeft, qreal y) {
        const qreal width = side.horizontalAdvance(text);
        const qreal at = onLeft ? x.left - gap - width : x.right + gap;
        painter.drawText(QPointF(at, y + side.capHeight() / 2), text);
    };
    const bool bassOnLeft = !l.leftHanded;
    if (l.baseFret > 1)
        sideText(baseFretText(l.baseFret), bassOnLeft, l.fretY(l.baseFret));
    if (diagram.capo > 0 && l.baseFret > 1)
        sideText(capoText(diagram.capo), !bassOnLeft, l.markY());

    if (diagram.name.isEmpty())
        return;
    QFont font = boxFont(nameSize, true);
    const qreal room = l.size().width();
    const qreal width = QFontMetricsF(font).horizontalAdvance(diagram.name);
    if (width > room)
        font.setPixelSize(std::max(1, int(font.pixelSize() * room / width)));
    painter.setFont(font);
    const qreal nameWidth = QFontMetricsF(font).horizontalAdvance(diagram.name);
    painter.drawText(QPointF((x.left + x.right - nameWidth) / 2, nameBaseline * unit),
                     diagram.name);
}

} // namespace

void ChordBox::draw(QPainter& painter, const ChordDiagram& diagram, const Options& options,
                    qreal spacing, QPointF origin) {
    if (diagram.problem() || !(spacing > 0))
        throw Failure::invalidProcedureCall();
    // Drawn at `unit` per spacing and scaled, so that fonts get whole pixel sizes.
    const Layout l = layout(diagram, options, unit);
    painter.save();
    painter.translate(origin);
    painter.scale(spacing / unit, spacing / unit);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    drawGrid(painter, diagram, l);
    drawDots(painter, diagram, options, l);
    drawStringMarks(painter, diagram, l);
    drawTexts(painter, diagram, l);
    painter.restore();
}

qreal ChordBox::drawFitted(QPainter& painter, const ChordDiagram& diagram, const Options& options,
                           const QRectF& area) {
    if (diagram.problem())
        throw Failure::invalidProcedureCall();
    const QSizeF e = extent(diagram, options);
    const qreal spacing = std::min(area.width() / e.width(), area.height() / e.height());
    const QPointF origin = area.center() - QPointF(e.width(), e.height()) * spacing / 2;
    draw(painter, diagram, options, spacing, origin);
    return spacing;
}

QImage ChordBox::image(const ChordDiagram& diagram, const Options& options, QSize size) {
    if (diagram.problem())
        throw Failure::invalidProcedureCall();
    if (size.isEmpty()) {
        const QSizeF e = extent(diagram, options) * pictureSpacing;
        size = QSize(int(std::ceil(e.width())), int(std::ceil(e.height())));
    }
    QImage picture(size, QImage::Format_RGB32);
    picture.setDotsPerMeterX(ChartSurface::dotsPerMetre);
    picture.setDotsPerMeterY(ChartSurface::dotsPerMetre);
    picture.fill(paper);
    QPainter painter(&picture);
    drawFitted(painter, diagram, options, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return picture;
}
