#pragma once

#include <QList>
#include <QObject>

class QSocketNotifier;

// Turns the termination signals SIGTERM and SIGINT into the Qt signal received(), emitted on
// the event loop of the thread that made the object, so that the program ends the way its
// window's close ends it instead of dying between two writes. The system's handler does only
// what a handler may safely do: it puts the earlier disposition back and writes the signal's
// number into a pipe, whose other end wakes the event loop.
//
// A signal that was ignored when the object was made stays ignored: a script's background
// job is meant not to stop on SIGINT. Each handler acts once: the disposition in force before
// comes back as the signal arrives, so that a second Ctrl+C ends a clean stop that hangs.
// All of them come back when the object is destroyed. One object at a time.
//
// Example:
//   TerminationSignals terminationSignals;
//   QObject::connect(&terminationSignals, &TerminationSignals::received,
//                    [&](int number) { closer.close(number); });
//   app.exec();
//   ...once everything is written and closed:
//   TerminationSignals::endBy(SIGTERM); // the parent sees "terminated by SIGTERM" (143)
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers. Throws std::system_error when the pipe cannot be made.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // The signals handled since construction: SIGTERM and SIGINT, less those that were ignored.
    const QList<int>& handled() const { return m_handled; }

    // Ends the process through `signalNumber` with the signal's default action, as if it had
    // never been handled, so that the parent learns why the program ended (a shell reports
    // 128 + number: 143 for SIGTERM, 130 for SIGINT; a shell script stops on Ctrl+C). Call
    // it last, once the settings are written and the files closed. Does not return.
    [[noreturn]] static void endBy(int signalNumber);

Q_SIGNALS:
    // Once for the first SIGTERM (15) and once for the first SIGINT (2) delivered.
    void received(int signalNumber);

private:
    void readPipe();

    QList<int> m_handled;
    QSocketNotifier* m_notifier = nullptr;
};
