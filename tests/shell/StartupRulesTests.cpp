// The start-up rules without a window: the title, the default folder, the home page.
#include "base/Failure.h"
#include "shell/StartupRules.h"
#include "support/FakeServices.h"
#include "support/Printers.h"

#include <gtest/gtest.h>

TEST(StartupRulesTests, ApplicationTitle_CutsBeforeLastBlankUntilAtMost40) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("Strumvane"), QStringLiteral("Strumvane")},
        {QStringLiteral("Strumvane Chord Chart Studio"), QStringLiteral("Strumvane Chord Chart")},
        {QStringLiteral("Strumvane Chords"), QStringLiteral("Strumvane")},
        // 51 characters; the first cut leaves 45, the second 39.
        {QStringLiteral("Strumvane Chord Chart Studio Deluxe Edition Version"),
         QStringLiteral("Strumvane Chord Chart Studio Deluxe")},
        // Exactly 40 after one cut: no second cut.
        {QStringLiteral("Strumvane Chord Chart Studio For Guitars Pro"),
         QStringLiteral("Strumvane Chord Chart Studio For Guitars")},
    };
    for (const auto& [name, title] : cases) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(StartupRules::applicationTitleFor(name), title);
    }
    // A single word longer than 40 characters must still end the loop, at 40 at most.
    const QString longWord(60, u'w');
    EXPECT_LE(StartupRules::applicationTitleFor(longWord).size(), 40);
    EXPECT_LE(StartupRules::applicationTitleFor(longWord + QStringLiteral(" two")).size(), 40);
}

TEST(StartupRulesTests, MaybeOpenHomePage_OpensOnDrawOfSevenSeededWithWholeSeconds) {
    const std::pair<double, bool> cases[] = {
        {0.065, true}, {0.06, true}, {0.0699, true}, {0.07, false},
        {0.05, false}, {0.0, false}, {0.999, false},
    };
    FakeRandomSource random;
    FakeClock clock;
    FakeWebLauncher webLauncher;
    StartupRules rules(random, clock, webLauncher, {});
    for (const auto& [draw, opens] : cases) {
        SCOPED_TRACE(draw);
        webLauncher.opened.clear();
        random.seeds.clear();
        random.next = draw;
        clock.seconds = 45296.75;
        rules.MaybeOpenHomePage();
        EXPECT_EQ(random.seeds, QList<quint32>{45296});
        ASSERT_EQ(webLauncher.opened.size(), opens ? 1 : 0);
        if (opens) {
            EXPECT_TRUE(webLauncher.opened[0].isValid());
            EXPECT_TRUE(webLauncher.opened[0].scheme().startsWith(QStringLiteral("http")));
        }
    }
}

TEST(StartupRulesTests, DefaultSaveFolder_AddsOneSeparatorAndFailsWithoutDesktop) {
    FakeRandomSource random;
    FakeClock clock;
    FakeWebLauncher webLauncher;
    QString desktop;
    const StartupRules rules(random, clock, webLauncher, [&] { return desktop; });
    for (const char* folder : {"/home/ann/Desktop", "/home/ann/Desktop/"}) {
        desktop = QString::fromLatin1(folder);
        EXPECT_EQ(rules.DefaultSaveFolder(), QStringLiteral("/home/ann/Desktop/"));
    }
    desktop.clear();
    EXPECT_THROW(rules.DefaultSaveFolder(), Failure);
}
