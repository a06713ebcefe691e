#include "window/ProgressBar.h"

#include "base/Failure.h"

#include <cmath>

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent) {
    setRange(0, 100);
    // A fresh QProgressBar has no value and would show no text at all.
    setValue(0);
    setTextVisible(true);
    setAlignment(Qt::AlignCenter);
    setText(QStringLiteral("Progress Bar"));
}

void ProgressBar::setPosition(double position) {
    if (!(position >= 0 && position <= 100)) // also rejects NaN
        throw Failure::invalidPropertyValue();
    m_position = position;
    setValue(static_cast<int>(std::lround(position)));
}

void ProgressBar::setText(const QString& text) {
    m_text = text;
    // The format is what QProgressBar paints with; "%" introduces placeholders there, so the
    // text is escaped to show literally.
    QString format = text;
    format.replace(u'%', QLatin1String("%%"));
    setFormat(format);
}
