#pragma once

#include "chart/ChordBox.h"
#include "chart/ChordDiagram.h"
#include "finder/KeyHold.h"

#include <QAbstractScrollArea>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

// The Find page's results: chord boxes in a grid that reflows with the width, each on a card
// of paper with a caption under it, one of them current (framed in the palette's highlight).
// Only the rows in view are drawn, straight onto the widget, so boxes stay sharp at any
// scale. The keyboard moves the current box (arrows, Home, End, Page Up, Page Down), Enter
// activates it, and holding Space holds it (holdStarted(), holdEnded()), as the mouse
// selects with a click and activates with a double click.
class ChordBoxGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    struct Item {
        ChordDiagram diagram; // without a problem()
        QString caption;      // under the box: "x-0-2-0-1-0"
        QString description;  // the box in words, for its tooltip and screen readers
    };

    // String spacing of the boxes, in device-independent pixels: a little under the tool's
    // pictures', so that three or four boxes stand side by side in the window.
    static constexpr qreal spacing = 20;
    static constexpr int cardMargin = 4;  // around each card, pixels
    static constexpr int cardPadding = 6; // inside it, around the box and caption

    explicit ChordBoxGrid(QWidget* parent = nullptr);

    // New results; the first becomes current (none when empty) and the view goes to the top.
    void setItems(QList<Item> items);
    const QList<Item>& items() const { return m_items; }
    int count() const { return int(m_items.size()); }

    void setBoxOptions(const ChordBox::Options& options);
    const ChordBox::Options& boxOptions() const { return m_options; }

    // Shown in an empty grid: "Type a chord", "No voicing matches".
    void setPlaceholder(const QString& text);

    // -1 when empty.
    int currentIndex() const { return m_current; }
    void setCurrentIndex(int index);

    // The size of one cell, and where cell `index` lies in the viewport now.
    QSize cellSize() const { return m_cell; }
    int columns() const;
    QRect cellRect(int index) const;
    // The cell under a viewport point; -1 for none.
    int indexAt(QPoint point) const;

Q_SIGNALS:
    void currentChanged(int index);
    void activated(int index);
    void holdStarted();
    void holdEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void measure();
    void updateScrollBars();
    void ensureVisible(int index);
    void updateDescription();

    QList<Item> m_items;
    ChordBox::Options m_options;
    QString m_placeholder;
    QSize m_cell;
    int m_current = -1;
    KeyHold m_hold; // Space
};
