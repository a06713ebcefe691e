#pragma once

#include <QString>
#include <QStringView>

// Conversions between stored setting texts and the program's 16-bit whole numbers.

// Reads a decimal number as a 16-bit integer. Accepted: blanks (spaces, tabs) around it, an
// optional "+" or "-", ASCII digits with an optional "." fraction ("7", " -2.5 ", ".5", "3.").
// The value is rounded to the nearest whole number, a half to the even neighbour:
// "10.5" -> 10, "11.6" -> 12, "1.5" -> 2, "-2.5" -> -2.
// Throws Failure::typeMismatch() for anything else (the empty text, "abc", "1e3", "0x10") and
// Failure::overflow() when the rounded value lies outside -32768..32767.
qint16 parseInt16(QStringView text);

// The shortest decimal text of a 16-bit integer: 35 -> "35", -7 -> "-7".
QString int16Text(qint16 value);
