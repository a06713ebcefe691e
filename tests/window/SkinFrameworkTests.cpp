#include "base/Failure.h"
#include "window/SkinFramework.h"

#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

using Call = SkinFramework::Call;
using Operation = SkinFramework::Operation;

class SkinFrameworkTests : public ::testing::Test {
protected:
    QString writeSkin(const QByteArray& bytes) {
        const QString path = dir.filePath("o.cjs");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    // The order start-up drives the component in.
    void applyInStartUpOrder(const QString& path) {
        skin.loadSkin(path, QString());
        skin.setOptions(skin.options() | 1);
        skin.setBoolProperty(5, true);
        skin.setBoolProperty(10, true);
        skin.applyWindow(0x1234, &window);
    }

    QTemporaryDir dir;
    SkinFramework skin;
    QWidget window;
};

TEST_F(SkinFrameworkTests, Operations_AreRecordedInOrder) {
    const QString path = writeSkin("QWidget { background: #d4d0c8; }");
    applyInStartUpOrder(path);
    const QList<Operation> expected = {
        {2, Call::Method, {path, QString()}}, {1, Call::PropertyGet, {}},
        {1, Call::PropertyPut, {1}},          {5, Call::PropertyPut, {true}},
        {10, Call::PropertyPut, {true}},      {3, Call::Method, {0x1234}},
    };
    EXPECT_EQ(skin.operations(), expected);
    EXPECT_EQ(skin.options(), 1);
    EXPECT_TRUE(skin.boolProperty(5));
    EXPECT_TRUE(skin.boolProperty(10));
}

TEST_F(SkinFrameworkTests, Utf8Text_IsAppliedAsStyleSheet) {
    const QByteArray sheet = "QWidget { background: #d4d0c8; } /* \xc3\xa9t\xc3\xa9 */";
    applyInStartUpOrder(writeSkin(sheet));
    EXPECT_EQ(window.styleSheet(), QString::fromUtf8(sheet));
}

TEST_F(SkinFrameworkTests, BinaryFile_IsAcceptedAndDrawsNothing) {
    window.setStyleSheet("QWidget { color: red; }");
    applyInStartUpOrder(writeSkin(QByteArray("PK\x03\x04\x14\x00\x00\x00", 8)));
    EXPECT_EQ(window.styleSheet(), "QWidget { color: red; }");
    EXPECT_EQ(skin.operations().size(), 6);

    SkinFramework invalidUtf8;
    invalidUtf8.loadSkin(writeSkin("QWidget { color: \xff\xfe; }"), QString());
    invalidUtf8.applyWindow(0, &window);
    EXPECT_EQ(window.styleSheet(), "QWidget { color: red; }");
}

TEST_F(SkinFrameworkTests, MissingOrUnreadableFile_IsAFailure) {
    const auto failureNumber = [&](const QString& path) {
        try {
            skin.loadSkin(path, QString());
        } catch (const Failure& failure) {
            return failure.number();
        }
        return 0;
    };
    EXPECT_EQ(failureNumber(dir.filePath("x/o.cjs")), 53);
    EXPECT_EQ(failureNumber(dir.path()), 75);
    EXPECT_EQ(skin.operations().size(), 2); // the attempts are still recorded
}

TEST_F(SkinFrameworkTests, UnknownProperty_IsUnsupported) {
    EXPECT_THROW(skin.setBoolProperty(7, true), Failure);
    EXPECT_THROW(skin.applyWindow(0, nullptr), Failure);
}
