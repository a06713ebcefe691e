#include "finder/ShapeEditorView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

constexpr QRgb paper = 0xffffffff;
constexpr int margin = 8;
constexpr qreal cursorWidth = 2;
// The box keeps its strings this far apart at least, so that every spot stays clickable.
constexpr qreal smallestSpacing = 16;

} // namespace

ShapeEditorView::ShapeEditorView(ShapeEditor& editor, QWidget* parent)
    : QWidget(parent), m_editor(editor) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_cursor = {0, ShapeEditor::aboveTheNut};
    connect(&m_hold, &KeyHold::started, this, &ShapeEditorView::holdStarted);
    connect(&m_hold, &KeyHold::ended, this, &ShapeEditorView::holdEnded);
    updateDescription();
}

void ShapeEditorView::setBoxOptions(const ChordBox::Options& options) {
    m_options = options;
    update();
}

void ShapeEditorView::setName(const QString& name) {
    m_name = name;
    update();
}

void ShapeEditorView::refresh() {
    m_cursor.string = std::clamp(m_cursor.string, 0, m_editor.board().stringCount() - 1);
    updateDescription();
    update();
}

ChordDiagram ShapeEditorView::diagram() const {
    return m_editor.diagram(m_name);
}

ChordBox::Options ShapeEditorView::options() const {
    return m_editor.boxOptions(m_options);
}

ChordBox::Layout ShapeEditorView::boxLayout() const {
    const ChordDiagram d = diagram();
    const QSizeF extent = ChordBox::extent(d, options());
    const QRectF area = QRectF(rect()).adjusted(margin, margin, -margin, -margin);
    const qreal spacing =
        std::clamp(std::min(area.width() / extent.width(), area.height() / extent.height()),
                   smallestSpacing, largestSpacing);
    const QPointF origin = area.center() - QPointF(extent.width(), extent.height()) * spacing / 2;
    return ChordBox::layout(d, options(), spacing, origin);
}

QSize ShapeEditorView::sizeHint() const {
    const QSizeF extent = ChordBox::extent(diagram(), options()) * largestSpacing * 0.75;
    return extent.toSize() + QSize(2 * margin, 2 * margin);
}

QSize ShapeEditorView::minimumSizeHint() const {
    const QSizeF extent = ChordBox::extent(diagram(), options()) * smallestSpacing;
    return extent.toSize() + QSize(2 * margin, 2 * margin);
}

void ShapeEditorView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const ChordBox::Layout l = boxLayout();
    const QRectF card = QRectF(l.origin, l.size())
                            .adjusted(-margin / 2.0, -margin / 2.0, margin / 2.0, margin / 2.0);
    painter.setPen(palette().color(QPalette::Mid));
    painter.setBrush(QColor::fromRgb(paper));
    painter.drawRoundedRect(card, margin / 2.0, margin / 2.0);
    ChordBox::draw(painter, diagram(), options(), l.spacing, l.origin);

    if (hasFocus()) {
        // The cursor: a ring where Enter clicks, in the palette's highlight.
        const qreal x = l.stringX(m_cursor.string);
        const qreal y =
            m_cursor.fret == ShapeEditor::aboveTheNut ? l.markY() : l.fretY(m_cursor.fret);
        painter.setPen(QPen(palette().color(QPalette::Highlight), cursorWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(x, y), l.spacing * 0.5, l.spacing * 0.5);
    }
}

void ShapeEditorView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    if (const std::optional<ShapeEditor::Spot> spot =
            ShapeEditor::spotAt(boxLayout(), event->position())) {
        m_cursor = *spot;
        clickAt(*spot);
    }
}

void ShapeEditorView::clickAt(const ShapeEditor::Spot& spot) {
    if (m_editor.click(spot.string, spot.fret)) {
        updateDescription();
        update();
        Q_EMIT shapeChanged();
    }
}

void ShapeEditorView::moveCursor(int strings, int frets) {
    const ChordBox::Layout l = boxLayout();
    // Left and right as the strings lie on screen, mirrored for a left-handed box.
    const int step = l.leftHanded ? -strings : strings;
    m_cursor.string = std::clamp(m_cursor.string + step, 0, l.strings - 1);
    int fret = m_cursor.fret == ShapeEditor::aboveTheNut ? l.baseFret - 1 : m_cursor.fret;
    fret = std::clamp(fret + frets, l.baseFret - 1, l.baseFret + l.rows - 1);
    m_cursor.fret = fret < l.baseFret ? ShapeEditor::aboveTheNut : fret;
    updateDescription();
    update();
}

void ShapeEditorView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
        moveCursor(-1, 0);
        break;
    case Qt::Key_Right:
        moveCursor(1, 0);
        break;
    case Qt::Key_Up:
        moveCursor(0, -1);
        break;
    case Qt::Key_Down:
        moveCursor(0, 1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        clickAt(m_cursor);
        break;
    case Qt::Key_Space:
        m_hold.press();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ShapeEditorView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        m_hold.release();
        event->accept();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void ShapeEditorView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void ShapeEditorView::focusOutEvent(QFocusEvent* event) {
    m_hold.cancel();
    QWidget::focusOutEvent(event);
    update();
}

void ShapeEditorView::updateDescription() {
    // What a screen reader says: the shape, and the spot under the cursor.
    const QString spot = m_cursor.fret == ShapeEditor::aboveTheNut
                             ? QStringLiteral("above the nut")
                             : QStringLiteral("fret %1").arg(m_cursor.fret);
    setAccessibleDescription(QStringLiteral("Shape %1; cursor on string %2, %3")
                                 .arg(Fretboard::fretText(m_editor.frets()),
                                      QString::number(m_cursor.string + 1), spot));
}
