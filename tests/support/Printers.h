#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <gtest/gtest.h>
#include <ostream>

// How GoogleTest prints the Qt values in failure messages and parameter lists; without these
// it shows their bytes. Found by argument-dependent lookup, so they live beside the Qt types
// in the global namespace.

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QColor& colour, std::ostream* out) {
    *out << colour.name(QColor::HexArgb).toStdString();
}

inline void PrintTo(const QRect& rect, std::ostream* out) {
    *out << "QRect(" << rect.x() << ", " << rect.y() << ", " << rect.width() << ", "
         << rect.height() << ")";
}
