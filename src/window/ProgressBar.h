#pragma once

#include <QProgressBar>
#include <QString>

// The progress bar of the save-all command: a position from 0 to 100 and a free text shown on
// the bar at every position (0 included). At rest: position 0, text "Progress Bar".
// Example: bar.setPosition(50.0); bar.setText("Chord 306 of 611");
class ProgressBar : public QProgressBar {
    Q_OBJECT

public:
    explicit ProgressBar(QWidget* parent = nullptr);

    // position in 0..100 (fractions allowed; the bar shows the nearest whole percent). Throws
    // Failure::invalidPropertyValue() for a value outside 0..100 or not a number.
    void setPosition(double position);
    double position() const { return m_position; }

    // The text shown on the bar, exactly as given (a "%" is shown as it is).
    void setText(const QString& text);
    QString text() const override { return m_text; }

private:
    double m_position = 0;
    QString m_text;
};
