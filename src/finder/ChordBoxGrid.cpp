#include "finder/ChordBoxGrid.h"

#include <QFontMetrics>
#include <QHash>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace {

constexpr QRgb paper = 0xffffffff;
constexpr QRgb captionInk = 0xff404040;
constexpr QRgb cardEdge = 0xffc8c8c8;
constexpr qreal cardRadius = 4;
constexpr int currentFrame = 3; // width of the current card's frame
constexpr int captionGap = 2;   // between the box and its caption

// What a box's extent depends on: strings, first fret row, rows, and the capo's side text,
// each below 256.
quint32 extentKey(int strings, int baseFret, int rows, int capo) {
    constexpr int bits = 8;
    return quint32(((strings << bits | baseFret) << bits | rows) << bits | capo);
}

} // namespace

ChordBoxGrid::ChordBoxGrid(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(int(spacing));
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent, false);
    connect(&m_hold, &KeyHold::started, this, &ChordBoxGrid::holdStarted);
    connect(&m_hold, &KeyHold::ended, this, &ChordBoxGrid::holdEnded);
    measure();
}

void ChordBoxGrid::setItems(QList<Item> items) {
    m_hold.cancel();
    m_items = std::move(items);
    m_current = m_items.isEmpty() ? -1 : 0;
    measure();
    verticalScrollBar()->setValue(0);
    updateDescription();
    viewport()->update();
    Q_EMIT currentChanged(m_current);
}

void ChordBoxGrid::setBoxOptions(const ChordBox::Options& options) {
    m_options = options;
    measure();
    ensureVisible(m_current);
    viewport()->update();
}

void ChordBoxGrid::setPlaceholder(const QString& text) {
    m_placeholder = text;
    if (m_items.isEmpty())
        viewport()->update();
}

void ChordBoxGrid::setCurrentIndex(int index) {
    if (m_items.isEmpty())
        return;
    index = std::clamp(index, 0, count() - 1);
    if (index == m_current)
        return;
    m_current = index;
    ensureVisible(index);
    updateDescription();
    viewport()->update();
    Q_EMIT currentChanged(index);
}

void ChordBoxGrid::measure() {
    QHash<quint32, QSizeF> extents;
    qreal width = 0;
    qreal height = 0;
    // A guitar box from the nut, so that an empty grid and few results keep a sensible cell.
    ChordDiagram standard;
    standard.strings = QList<ChordDiagram::String>(6);
    QList<const ChordDiagram*> diagrams{&standard};
    for (const Item& item : m_items)
        diagrams << &item.diagram;
    for (const ChordDiagram* d : diagrams) {
        const int base = ChordBox::baseFret(*d, m_options);
        const quint32 key = extentKey(int(d->strings.size()), base,
                                      ChordBox::fretRows(*d, m_options), base > 1 ? d->capo : 0);
        auto found = extents.constFind(key);
        if (found == extents.constEnd())
            found = extents.insert(key, ChordBox::extent(*d, m_options));
        width = std::max(width, found->width());
        height = std::max(height, found->height());
    }
    const int caption = QFontMetrics(font()).height() + captionGap;
    m_cell = QSize(int(std::ceil(width * spacing)) + 2 * (cardPadding + cardMargin),
                   int(std::ceil(height * spacing)) + caption + 2 * (cardPadding + cardMargin));
    updateScrollBars();
}

int ChordBoxGrid::columns() const {
    return std::max(1, viewport()->width() / std::max(1, m_cell.width()));
}

QRect ChordBoxGrid::cellRect(int index) const {
    const int c = columns();
    // The grid is centred in the width it does not fill.
    const int left = (viewport()->width() - c * m_cell.width()) / 2;
    return QRect(QPoint(std::max(0, left) + (index % c) * m_cell.width(),
                        (index / c) * m_cell.height() - verticalScrollBar()->value()),
                 m_cell);
}

int ChordBoxGrid::indexAt(QPoint point) const {
    for (int row = 0; row * columns() < count(); ++row) {
        const QRect first = cellRect(row * columns());
        if (point.y() < first.top() || point.y() > first.bottom())
            continue;
        for (int i = row * columns(); i < std::min(count(), (row + 1) * columns()); ++i) {
            if (cellRect(i).contains(point))
                return i;
        }
        return -1;
    }
    return -1;
}

void ChordBoxGrid::updateScrollBars() {
    const int rows = (count() + columns() - 1) / columns();
    const int content = rows * m_cell.height();
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, content - viewport()->height()));
}

void ChordBoxGrid::ensureVisible(int index) {
    if (index < 0)
        return;
    const QRect cell = cellRect(index);
    QScrollBar* bar = verticalScrollBar();
    if (cell.top() < 0)
        bar->setValue(bar->value() + cell.top());
    else if (cell.bottom() > viewport()->height())
        bar->setValue(bar->value() + cell.bottom() - viewport()->height() + 1);
}

void ChordBoxGrid::updateDescription() {
    if (m_current < 0) {
        setAccessibleDescription(m_placeholder);
        return;
    }
    setAccessibleDescription(QStringLiteral("%1, %2 of %3")
                                 .arg(m_items[m_current].description,
                                      QString::number(m_current + 1), QString::number(count())));
}

void ChordBoxGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    if (m_items.isEmpty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(viewport()->rect().adjusted(cardMargin, cardMargin, -cardMargin, 0),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, m_placeholder);
        return;
    }
    const QRect dirty = event->rect();
    const int c = columns();
    const int firstRow =
        std::max(0, (verticalScrollBar()->value() + dirty.top()) / m_cell.height());
    const int caption = QFontMetrics(font()).height();
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = firstRow * c; i < count(); ++i) {
        const QRect cell = cellRect(i);
        if (cell.top() > dirty.bottom())
            break;
        const QRectF card = QRectF(cell).adjusted(cardMargin, cardMargin, -cardMargin, -cardMargin);
        const bool current = i == m_current;
        painter.setPen(
            current ? QPen(palette().color(hasFocus() ? QPalette::Active : QPalette::Inactive,
                                           QPalette::Highlight),
                           currentFrame)
                    : QPen(QColor::fromRgb(cardEdge), 1));
        painter.setBrush(QColor::fromRgb(paper));
        painter.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), cardRadius, cardRadius);

        const Item& item = m_items[i];
        const QSizeF box = ChordBox::extent(item.diagram, m_options) * spacing;
        // Whole pixels, so that the box's lines fall as in the tool's pictures.
        const QPointF origin(std::floor(card.left() + (card.width() - box.width()) / 2),
                             card.top() + cardPadding);
        ChordBox::draw(painter, item.diagram, m_options, spacing, origin);
        painter.setPen(QColor::fromRgb(captionInk));
        painter.setFont(font());
        painter.drawText(
            QRectF(card.left(), origin.y() + box.height() + captionGap, card.width(), caption),
            Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, item.caption);
    }
}

void ChordBoxGrid::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void ChordBoxGrid::scrollContentsBy(int, int) {
    viewport()->update();
}

void ChordBoxGrid::mousePressEvent(QMouseEvent* event) {
    const int index = indexAt(event->position().toPoint());
    if (index >= 0)
        setCurrentIndex(index);
    QAbstractScrollArea::mousePressEvent(event);
}

void ChordBoxGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const int index = indexAt(event->position().toPoint());
    if (index >= 0)
        Q_EMIT activated(index);
}

void ChordBoxGrid::keyPressEvent(QKeyEvent* event) {
    if (m_items.isEmpty()) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int c = columns();
    const int pageRows = std::max(1, viewport()->height() / m_cell.height());
    switch (event->key()) {
    case Qt::Key_Left:
        setCurrentIndex(m_current - 1);
        break;
    case Qt::Key_Right:
        setCurrentIndex(m_current + 1);
        break;
    case Qt::Key_Up:
        setCurrentIndex(m_current - c);
        break;
    case Qt::Key_Down:
        setCurrentIndex(std::min(count() - 1, m_current + c));
        break;
    case Qt::Key_Home:
        setCurrentIndex(0);
        break;
    case Qt::Key_End:
        setCurrentIndex(count() - 1);
        break;
    case Qt::Key_PageUp:
        setCurrentIndex(m_current - c * pageRows);
        break;
    case Qt::Key_PageDown:
        setCurrentIndex(std::min(count() - 1, m_current + c * pageRows));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Q_EMIT activated(m_current);
        break;
    case Qt::Key_Space:
        m_hold.press();
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ChordBoxGrid::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        m_hold.release();
        event->accept();
        return;
    }
    QAbstractScrollArea::keyReleaseEvent(event);
}

void ChordBoxGrid::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void ChordBoxGrid::focusOutEvent(QFocusEvent* event) {
    // A key released elsewhere would leave the chord sounding.
    m_hold.cancel();
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

bool ChordBoxGrid::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = indexAt(help->pos());
        if (index >= 0)
            QToolTip::showText(help->globalPos(), m_items[index].description, viewport(),
                               cellRect(index));
        else
            QToolTip::hideText();
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}
