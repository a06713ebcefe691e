#include "window/PushButton.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

class PushButtonTests : public ::testing::Test {
protected:
    void SetUp() override {
        button.resize(120, 30);
        button.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    }

    PushButton button{QStringLiteral("Play Chord Sound")};
    QSignalSpy clicked{&button, &QPushButton::clicked};
    QSignalSpy down{&button, &PushButton::mouseDown};
    QSignalSpy up{&button, &PushButton::mouseUp};
    QSignalSpy moved{&button, &PushButton::mouseMoved};
    QStringList order;
};

TEST_F(PushButtonTests, LeftClick_GivesDownUpThenClick) {
    QObject::connect(&button, &PushButton::mouseDown, [&] { order << "down"; });
    QObject::connect(&button, &PushButton::mouseUp, [&] { order << "up"; });
    QObject::connect(&button, &QPushButton::clicked, [&] { order << "click"; });
    QTest::mouseClick(&button, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 12));
    EXPECT_EQ(order, QStringList({"down", "up", "click"}));
    ASSERT_EQ(down.size(), 1);
    EXPECT_EQ(down[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(down[0][1].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
    EXPECT_EQ(down[0][2].toPoint(), QPoint(10, 12));
}

TEST_F(PushButtonTests, RightAndMiddleButtons_GiveDownAndUpButNoClick) {
    QTest::mousePress(&button, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&button, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mousePress(&button, Qt::MiddleButton, {}, QPoint(6, 6));
    QTest::mouseRelease(&button, Qt::MiddleButton, {}, QPoint(6, 6));
    ASSERT_EQ(down.size(), 2);
    ASSERT_EQ(up.size(), 2);
    EXPECT_EQ(down[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(up[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(down[1][0].value<Qt::MouseButton>(), Qt::MiddleButton);
    EXPECT_EQ(up[1][0].value<Qt::MouseButton>(), Qt::MiddleButton);
    EXPECT_EQ(clicked.size(), 0);
}

TEST_F(PushButtonTests, Keyboard_ClicksWithoutMouseDownOrUp) {
    button.setFocus();
    QTest::keyClick(&button, Qt::Key_Space);
    EXPECT_EQ(clicked.size(), 1);
    EXPECT_EQ(down.size(), 0);
    EXPECT_EQ(up.size(), 0);
}

TEST_F(PushButtonTests, MoveWithoutButton_FiresMouseMoved) {
    QTest::mouseMove(&button, QPoint(20, 15));
    QTest::mouseMove(&button, QPoint(40, 15));
    ASSERT_GE(moved.size(), 1);
    EXPECT_EQ(moved.last()[0].value<Qt::MouseButtons>(), Qt::NoButton);
    EXPECT_EQ(moved.last()[2].toPoint(), QPoint(40, 15));
    EXPECT_EQ(down.size(), 0);
}
