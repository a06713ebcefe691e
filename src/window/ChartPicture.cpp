#include "window/ChartPicture.h"

#include <QPainter>

ChartPicture::ChartPicture(QWidget* parent, const QFont& initialFont)
    : QFrame(parent), m_surface(initialFont) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFixedSize(m_surface.image().width() + 4, m_surface.image().height() + 4);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartPicture::paintEvent(QPaintEvent* event) {
    // The drawing lives in the surface; painting only shows it.
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), m_surface.image());
    painter.end();
    QFrame::paintEvent(event);
}
