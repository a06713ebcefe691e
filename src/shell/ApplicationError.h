#pragma once

#include <QString>
#include <QStringView>

class Failure;
class MessageBoxes;

// The support address named in the last line of every "Application Error" box.
inline constexpr char supportEmailAddress[] = "support@strumvane.example";

// The location text of a trapped procedure: "in Strumvane2021/08/31." + procedure + " ".
// Example: errorLocation(u"Form1.PushButton4_Click")
//   -> "in Strumvane2021/08/31.Form1.PushButton4_Click "
QString errorLocation(QStringView procedure);

// The error box text: description + "\r\n" + location + "at line " + step + "\r\r" +
// "Please email screenshot of this message to " + supportEmailAddress. Example:
//   "Type mismatch\r\nin Strumvane2021/08/31.Form1.Form_Load at line 150\r\r"
//   "Please email screenshot of this message to support@strumvane.example"
QString applicationErrorText(const QString& description, const QString& location,
                             qint32 stepNumber);

// Shows the "Application Error" box with applicationErrorText(...) through boxes and returns
// when the user has closed it.
void ShowApplicationError(MessageBoxes& boxes, const QString& description, const QString& location,
                          qint32 stepNumber);

// The exception being handled, as a Failure; call only inside a catch block. A Failure is
// returned as it is, std::bad_alloc becomes Failure::outOfMemory(), another std::exception a
// failure 51 with its what() text (or "Internal error" when that is empty), and anything else
// Failure::internalError().
Failure failureFromCurrentException();
