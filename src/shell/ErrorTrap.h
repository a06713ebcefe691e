#pragma once

#include "shell/ApplicationError.h"

#include <QString>
#include <utility>

class Failure;
class MessageBoxes;

// The procedure-wide error trap of start-up and the push-button commands. The procedure runs
// its numbered steps through the trap; a step that throws (a Failure or anything else) is
// abandoned, together with the rest of any routine it called, the "Application Error" box shows
// the failure with the trap's location and that step's number, and the procedure goes on with
// its next step. A loop around steps simply goes on.
//
// Example:
//   ErrorTrap trap(boxes, errorLocation(u"Form1.Form_Load"));
//   trap.step(146, [&] { choosePitch(store.pitch()); });
//   if (trap.test(150, [&] { return store.saveOption() != SettingsStore::saveOptionBitmap; }))
//       trap.step(152, [&] { chooseJpg(); });  // also runs when the test itself failed
class ErrorTrap {
public:
    // location is the procedure's errorLocation text, with its trailing space.
    ErrorTrap(MessageBoxes& boxes, QString location);

    // Runs body as step number; returns true when it finished, false when it failed (the box
    // has then been shown and closed).
    template <typename Body> bool step(qint32 number, Body&& body) {
        begin(number);
        try {
            std::forward<Body>(body)();
            return true;
        } catch (...) {
            reportCurrentException();
            return false;
        }
    }

    // Runs the test of a conditional as step number and returns its value; a test that fails
    // shows the box and counts as holding (returns true).
    template <typename Condition> bool test(qint32 number, Condition&& condition) {
        begin(number);
        try {
            return static_cast<bool>(std::forward<Condition>(condition)());
        } catch (...) {
            reportCurrentException();
            return true;
        }
    }

    // Shows the box for `failure` as step `number`'s, for a step whose work finished
    // elsewhere (a file written on another thread), and goes on.
    void report(qint32 number, const Failure& failure);

    // The number of the last step begun; 0 before the first.
    qint32 stepNumber() const { return m_stepNumber; }
    // How many boxes this trap has shown.
    int failureCount() const { return m_failureCount; }
    const QString& location() const { return m_location; }

private:
    void begin(qint32 number) { m_stepNumber = number; }
    // Shows the box for the exception being handled; call only inside a catch block.
    void reportCurrentException();

    MessageBoxes& m_boxes;
    QString m_location;
    qint32 m_stepNumber = 0;
    int m_failureCount = 0;
};

// Runs an event handler that has no trap of its own so that no exception reaches the Qt event
// loop: a failure shows the box with errorLocation(procedure) and step 0, and the program goes
// on. Returns true when the handler finished.
// Example: connect(list, &QListWidget::currentRowChanged, this, [this](int row) {
//     guardHandler(*m_boxes, u"Form1.ListView1_Click", [&] { listView1Click(row); }); });
template <typename Handler>
bool guardHandler(MessageBoxes& boxes, QStringView procedure, Handler&& handler) {
    ErrorTrap trap(boxes, errorLocation(procedure));
    return trap.step(0, std::forward<Handler>(handler));
}
