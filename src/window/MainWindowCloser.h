#pragma once

class QWidget;

// Closes the main window from outside its own event handling - a termination signal, or the
// window manager's close while a box is up - and ends the program. The window's close runs
// as the close button's does (Form1::closeEvent and Form_Unload: a save-all stops after the
// box on screen, drops its queued files and puts the user's chord and Pitch back into the
// settings); then every event loop is told to end, so that the box that is up closes at once
// (as its OK would) and a box asked for afterwards returns without waiting for a click.
//
// Example:
//   MainWindowCloser closer(form);
//   connect(&terminationSignals, &TerminationSignals::received,
//           [&](int number) { closer.close(number); });
//   form.Form_Load();
//   if (!closer.isClosed()) { form.show(); app.exec(); }
class MainWindowCloser {
public:
    explicit MainWindowCloser(QWidget& window);

    // Closes the window and ends the event loops. signalNumber is the signal that asked for
    // it, or 0 (the window manager). A later call closes nothing more; it records its signal
    // only when none was recorded.
    void close(int signalNumber = 0);

    // Whether close() has run; a window closed before it was ever shown stays hidden.
    bool isClosed() const { return m_closed; }
    // The signal of the first close() that named one, else 0.
    int signalNumber() const { return m_signalNumber; }

private:
    QWidget& m_window;
    bool m_closed = false;
    int m_signalNumber = 0;
};
