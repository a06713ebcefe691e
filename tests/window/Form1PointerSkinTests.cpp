// Pointer feedback over the push buttons, frames and background, and the optional skin file.
#include "CursorFileBytes.h"
#include "support/Form1Fixture.h"
#include "window/ChartPicture.h"
#include "window/ProgressBar.h"
#include "window/PushButton.h"
#include "window/SkinFramework.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTest>
#include <unistd.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

// The pointer moving over `widget` with no button held, delivered as the event loop would.
void moveOver(QWidget* widget, QPoint position = {}) {
    const QPoint local = position.isNull() ? widget->rect().center() : position;
    QMouseEvent move(QEvent::MouseMove, QPointF(local), QPointF(widget->mapToGlobal(local)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

QColor buttonFace() {
    return QGuiApplication::palette().color(QPalette::Button);
}

} // namespace

class Form1PointerTests : public Form1Fixture {
protected:
    void showWindow() {
        startWindow();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    Qt::CursorShape pointer() const { return form->cursor().shape(); }
    QList<QWidget*> pushButtons() const {
        return {ui(*form).PushButton1, ui(*form).PushButton2, ui(*form).PushButton3,
                ui(*form).PushButton4, ui(*form).PushButton7};
    }
    QList<QWidget*> frames() const {
        return {ui(*form).Frame1, ui(*form).Frame2, ui(*form).Frame3,
                ui(*form).Frame4, ui(*form).Frame5, ui(*form).Frame6};
    }
    // A point of the window's own background: between the list frame and the Pitch frame.
    QPoint backgroundPoint() const {
        const QPoint p(ui(*form).Frame1->geometry().right() + 3,
                       ui(*form).Frame2->geometry().bottom() + 2);
        EXPECT_EQ(form->childAt(p), nullptr);
        return p;
    }
};

TEST_F(Form1PointerTests, EverySource_ButtonsGiveHandFramesAndBackgroundGiveArrow) {
    showWindow();
    for (QWidget* button : pushButtons()) {
        SCOPED_TRACE(button->objectName().toStdString() +
                     button->property("text").toString().toStdString());
        ui(*form).DefaultPointer();
        moveOver(button);
        EXPECT_EQ(pointer(), Qt::PointingHandCursor);
    }
    for (QWidget* frame : frames()) {
        SCOPED_TRACE(qobject_cast<QGroupBox*>(frame)->title().toStdString());
        ui(*form).HandPointer();
        ASSERT_EQ(pointer(), Qt::PointingHandCursor);
        moveOver(frame, QPoint(3, frame->height() - 3)); // the frame's own area, inside its border
        EXPECT_EQ(pointer(), Qt::ArrowCursor);
    }
    ui(*form).HandPointer();
    moveOver(form.get(), backgroundPoint());
    EXPECT_EQ(pointer(), Qt::ArrowCursor);
}

TEST_F(Form1PointerTests, ButtonToButton_KeepsHandThenFrameOrBackgroundRestoresArrow) {
    showWindow();
    moveOver(ui(*form).PushButton1);
    moveOver(ui(*form).PushButton4);
    EXPECT_EQ(pointer(), Qt::PointingHandCursor);
    moveOver(ui(*form).Frame4, QPoint(3, 3));
    EXPECT_EQ(pointer(), Qt::ArrowCursor);
    moveOver(ui(*form).PushButton7);
    EXPECT_EQ(pointer(), Qt::PointingHandCursor);
    moveOver(form.get(), backgroundPoint());
    EXPECT_EQ(pointer(), Qt::ArrowCursor);
}

TEST_F(Form1PointerTests, ButtonToControlWithoutHandler_KeepsHand) {
    showWindow();
    const QList<QWidget*> others = {
        ui(*form).Text2,         ui(*form).txtChordName, ui(*form).ListView1->viewport(),
        ui(*form).ListView1,     ui(*form).Option1[3],   ui(*form).Option2,
        ui(*form).chkLeftHanded, ui(*form).Picture1,     ui(*form).Picture2,
        ui(*form).Label1,        ui(*form).ProgressBar1,
    };
    for (QWidget* other : others) {
        SCOPED_TRACE(other->metaObject()->className());
        ui(*form).DefaultPointer();
        moveOver(ui(*form).PushButton3);
        moveOver(other);
        EXPECT_EQ(pointer(), Qt::PointingHandCursor);
    }
}

TEST_F(Form1PointerTests, Hourglass_StaysOverEverySource) {
    showWindow();
    // The save-all command sets the hourglass on the window itself.
    form->setCursor(Qt::WaitCursor);
    for (QWidget* source : pushButtons() + frames()) {
        moveOver(source, source->inherits("QGroupBox") ? QPoint(3, 3) : QPoint());
        EXPECT_EQ(pointer(), Qt::WaitCursor) << source->metaObject()->className();
    }
    moveOver(form.get(), backgroundPoint());
    EXPECT_EQ(pointer(), Qt::WaitCursor);
}

TEST_F(Form1PointerTests, RealPointerMoves_HandOverButtonArrowOverBackground) {
    showWindow();
    QTest::mouseMove(form.get(), ui(*form).PushButton2->geometry().center());
    QCoreApplication::processEvents();
    EXPECT_EQ(pointer(), Qt::PointingHandCursor);
    QTest::mouseMove(form.get(), backgroundPoint());
    QCoreApplication::processEvents();
    EXPECT_EQ(pointer(), Qt::ArrowCursor);
}

TEST_F(Form1PointerTests, CursorFile_IsTheHandOverButtons) {
    writeFile(programFolder + QStringLiteral("/HAND-M.CUR"), cursorFileBytes(7, 2));
    showWindow();
    moveOver(ui(*form).PushButton1);
    EXPECT_EQ(pointer(), Qt::BitmapCursor);
    EXPECT_EQ(form->cursor().hotSpot(), QPoint(7, 2));
    moveOver(ui(*form).Frame6, QPoint(3, 3));
    EXPECT_EQ(pointer(), Qt::ArrowCursor);
}

class Form1SkinTests : public Form1Fixture {
protected:
    QString skinFile() const { return programFolder + QStringLiteral("/x/o.cjs"); }

    // Every control the skin recolours, and every control it leaves alone.
    QList<QWidget*> recoloured() const {
        QList<QWidget*> list = {
            ui(*form).Frame1,   ui(*form).Frame2,   ui(*form).Frame3,        ui(*form).Frame4,
            ui(*form).Frame5,   ui(*form).Frame6,   ui(*form).chkLeftHanded, ui(*form).Label1,
            ui(*form).Label2,   ui(*form).Label3,   ui(*form).Label4,        ui(*form).Picture1,
            ui(*form).Picture2, ui(*form).Picture3, ui(*form).Option2,       ui(*form).Option3};
        for (QRadioButton* b : ui(*form).Option1)
            list << b;
        return list;
    }
    QList<QWidget*> untouched() const {
        return {ui(*form).Text2,          ui(*form).txtChordName, ui(*form).txtChordSpelling,
                ui(*form).txtFretNumbers, ui(*form).txtFingering, ui(*form).ListView1,
                ui(*form).PushButton1,    ui(*form).PushButton2,  ui(*form).PushButton3,
                ui(*form).PushButton4,    ui(*form).PushButton7,  ui(*form).ProgressBar1};
    }
    void expectDesignColours() {
        EXPECT_EQ(form->palette().color(QPalette::Window), QColor(Qt::white));
        for (QWidget* w : recoloured())
            EXPECT_EQ(w->palette().color(QPalette::Window), QColor(Qt::white))
                << w->metaObject()->className();
    }
    void expectSkinColours() {
        EXPECT_EQ(form->palette().color(QPalette::Window), buttonFace());
        EXPECT_TRUE(form->autoFillBackground());
        for (QWidget* w : recoloured()) {
            EXPECT_EQ(w->palette().color(QPalette::Window), buttonFace())
                << w->metaObject()->className();
            EXPECT_TRUE(w->autoFillBackground()) << w->metaObject()->className();
        }
    }
};

TEST_F(Form1SkinTests, NoSkinFile_DesignColoursNoOperationsNoBox) {
    ASSERT_NE(buttonFace(), QColor(Qt::white)); // else the recolouring could not be seen
    startWindow();
    expectDesignColours();
    EXPECT_TRUE(ui(*form).SkinFramework1->operations().isEmpty());
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
    EXPECT_TRUE(form->styleSheet().isEmpty());
}

TEST_F(Form1SkinTests, FolderNamedLikeTheSkin_IsNotASkin) {
    QDir().mkpath(skinFile());
    startWindow();
    expectDesignColours();
    EXPECT_TRUE(ui(*form).SkinFramework1->operations().isEmpty());
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
}

TEST_F(Form1SkinTests, SkinFile_RecoloursAndDrivesComponentInOrder) {
    writeFile(skinFile(), QByteArray("CJS\0\x01\x02 binary skin archive", 26));
    startWindow();
    EXPECT_TRUE(messages.errorBoxes.isEmpty()) << messages.errorBoxes.join('\n').toStdString();
    expectSkinColours();

    using Call = SkinFramework::Call;
    const QList<SkinFramework::Operation> expected = {
        {2, Call::Method, {skinFile(), QString()}},
        {1, Call::PropertyGet, {}},
        {1, Call::PropertyPut, {qint32(1)}},
        {5, Call::PropertyPut, {true}},
        {10, Call::PropertyPut, {true}},
        {3, Call::Method, {static_cast<qint32>(form->winId())}},
    };
    EXPECT_EQ(ui(*form).SkinFramework1->operations(), expected);
    EXPECT_TRUE(form->styleSheet().isEmpty()); // a binary skin draws nothing
}

TEST_F(Form1SkinTests, SkinFile_LeavesTextBoxesListButtonsAndProgressBarAlone) {
    startWindow();
    auto plain = std::move(form);
    writeFile(skinFile(), QByteArray("\x01\x00\x02", 3));
    startWindow();
    const QList<QWidget*> skinned = untouched();
    std::swap(form, plain);
    const QList<QWidget*> designed = untouched();
    ASSERT_EQ(skinned.size(), designed.size());
    for (int i = 0; i < skinned.size(); ++i) {
        SCOPED_TRACE(skinned[i]->metaObject()->className());
        EXPECT_FALSE(skinned[i]->autoFillBackground());
        EXPECT_EQ(skinned[i]->palette().color(QPalette::Base),
                  designed[i]->palette().color(QPalette::Base));
        EXPECT_EQ(skinned[i]->palette().color(QPalette::Button),
                  designed[i]->palette().color(QPalette::Button));
        // Inside its border a control shows its own colours; only the corners let the
        // window's background through.
        const QPoint inside = skinned[i]->rect().center();
        EXPECT_EQ(skinned[i]->grab().toImage().pixel(inside),
                  designed[i]->grab().toImage().pixel(inside));
    }
    // The charts are filled white by every drawing, skin or not.
    EXPECT_EQ(std::as_const(*ui(*plain).Picture1).surface().image(),
              std::as_const(*ui(*form).Picture1).surface().image());
}

TEST_F(Form1SkinTests, TextSkin_BecomesWindowStyleSheet) {
    const QByteArray sheet = "QGroupBox { color: #123456; } /* \xc3\xa9t\xc3\xa9 */";
    writeFile(skinFile(), sheet);
    startWindow();
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
    EXPECT_EQ(form->styleSheet(), QString::fromUtf8(sheet));
    expectSkinColours();
}

TEST_F(Form1SkinTests, UnreadableSkin_BoxAt100RecolouringStaysStartupGoesOnAt104) {
    // /proc/self/mem is an ordinary file that cannot be read from its start, even by root.
    QDir().mkpath(programFolder + QStringLiteral("/x"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), skinFile()));
    startWindow();
    ASSERT_EQ(messages.errorBoxes.size(), 1);
    EXPECT_TRUE(messages.errorBoxes[0].startsWith(QStringLiteral("Path/File access error\r\n")))
        << messages.errorBoxes[0].toStdString();
    EXPECT_TRUE(messages.errorBoxes[0].contains(
        QStringLiteral("in Strumvane2021/08/31.Form1.Form_Load at line 100\r\r")));
    expectSkinColours();
    EXPECT_EQ(ui(*form).SkinFramework1->operations().size(), 1); // only the load was tried
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Strumvane"));
    EXPECT_EQ(ui(*form).ListView1->currentRow(), 35);
}

TEST_F(Form1SkinTests, SkinWithoutReadPermission_BoxAt100) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads any file";
    writeFile(skinFile(), "QWidget {}");
    QFile::setPermissions(skinFile(), QFileDevice::Permissions());
    startWindow();
    ASSERT_EQ(messages.errorBoxes.size(), 1);
    EXPECT_TRUE(messages.errorBoxes[0].startsWith(QStringLiteral("Permission denied\r\n")));
    EXPECT_TRUE(messages.errorBoxes[0].contains(QStringLiteral("at line 100\r")));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Strumvane"));
}
