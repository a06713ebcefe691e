#include "window/MainWindowCloser.h"

#include <QCoreApplication>
#include <QWidget>

MainWindowCloser::MainWindowCloser(QWidget& window) : m_window(window) {}

void MainWindowCloser::close(int signalNumber) {
    if (m_signalNumber == 0)
        m_signalNumber = signalNumber;
    if (m_closed)
        return;
    m_closed = true;
    // A close made in code passes a modal box, which a window manager's close cannot.
    m_window.close();
    // Ends the box's own loop as well as the program's: QCoreApplication::exit tells every
    // event loop of this thread to return, and one started later returns at once.
    QCoreApplication::exit(0);
}
