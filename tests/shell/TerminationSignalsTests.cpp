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

TEST(TerminationSignalsTests, FirstSignalArrivesOnTheEventLoopUnlessIgnoredBefore) {
    const struct {
        const char* name;
        int number;
        bool ignoredBefore;
        bool sent;
    } cases[] = {{"SIGTERM", SIGTERM, false, true},
                 {"SIGINT", SIGINT, false, true},
                 {"SIGINT ignored (a script's background job)", SIGINT, true, true},
                 {"SIGTERM never sent", SIGTERM, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        struct sigaction before {};
        before.sa_handler = c.ignoredBefore ? SIG_IGN : SIG_DFL;
        sigemptyset(&before.sa_mask);
        struct sigaction saved {};
        sigaction(c.number, &before, &saved);
        {
            TerminationSignals signals;
            QList<int> received;
            QObject::connect(&signals, &TerminationSignals::received,
                             [&received](int number) { received.append(number); });
            EXPECT_EQ(signals.handled().contains(c.number), !c.ignoredBefore);
            if (c.sent)
                std::raise(c.number);
            // A signal that arrives at all arrives at once; waiting long for none is waste.
            waitFor(received, 1, c.ignoredBefore || !c.sent ? 100 : 2000);
            const bool arrives = c.sent && !c.ignoredBefore;
            EXPECT_EQ(received, arrives ? QList<int>{c.number} : QList<int>{});
            // The handler acted once: a second signal would act as before (here, end the test).
            struct sigaction now {};
            sigaction(c.number, nullptr, &now);
            if (c.sent) {
                EXPECT_EQ(now.sa_handler, before.sa_handler);
            }
        }
        struct sigaction after {};
        sigaction(c.number, nullptr, &after);
        EXPECT_EQ(after.sa_handler, before.sa_handler) << "the disposition before comes back";
        sigaction(c.number, &saved, nullptr);
    }
}
