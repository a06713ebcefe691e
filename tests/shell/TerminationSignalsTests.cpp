// SIGTERM and SIGINT reaching the event loop as Qt signals, through the real handlers.
#include "shell/TerminationSignals.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QList>
#include <csignal>
#include <gtest/gtest.h>

namespace {

// Lets the event loop run until `count` signals arrived or `milliseconds` passed.
void waitFor(const QList<int>& received, qsizetype count, int milliseconds) {
    const QDeadlineTimer deadline(milliseconds);
    while (received.size() < count && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

} // namespace

TEST(TerminationSignalsTests, EachSignalArrivesOnTheEventLoopUnlessIgnoredBefore) {
    const struct {
        const char* name;
        int number;
        bool ignoredBefore;
    } cases[] = {{"SIGTERM", SIGTERM, false},
                 {"SIGINT", SIGINT, false},
                 {"SIGINT ignored (a script's background job)", SIGINT, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        struct sigaction before {
        }, saved{};
        before.sa_handler = c.ignoredBefore ? SIG_IGN : SIG_DFL;
        sigemptyset(&before.sa_mask);
        sigaction(c.number, &before, &saved);
        {
            TerminationSignals signals;
            QList<int> received;
            QObject::connect(&signals, &TerminationSignals::received,
                             [&received](int number) { received.append(number); });
            EXPECT_EQ(signals.handled().contains(c.number), !c.ignoredBefore);
            // Two signals: two emissions, the handler stays installed after the first.
            std::raise(c.number);
            std::raise(c.number);
            // A signal that arrives at all arrives at once; waiting long for none is waste.
            waitFor(received, 2, c.ignoredBefore ? 100 : 2000);
            const QList<int> expected =
                c.ignoredBefore ? QList<int>{} : QList<int>{c.number, c.number};
            EXPECT_EQ(received, expected);
        }
        struct sigaction after {};
        sigaction(c.number, nullptr, &after);
        EXPECT_EQ(after.sa_handler, before.sa_handler) << "the disposition before comes back";
        sigaction(c.number, &saved, nullptr);
    }
}
