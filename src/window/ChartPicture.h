#pragma once

#include "chart/ChartSurface.h"

#include <QFrame>

// A chart picture of the main window: a ChartSurface shown inside a sunken 2-pixel border,
// 520 x 121 pixels outside and 516 x 117 inside. The surface keeps its drawing while the
// widget is hidden or off-screen; the export saves the surface's image.
class ChartPicture : public QFrame {
    Q_OBJECT
public:
    explicit ChartPicture(QWidget* parent = nullptr, const QFont& initialFont = QFont());

    ChartSurface& surface() { return m_surface; }
    const ChartSurface& surface() const { return m_surface; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ChartSurface m_surface;
};
