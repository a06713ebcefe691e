#include "shell/ApplicationError.h"
#include "window/QtMessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QWidget* parent = nullptr;
};

// Runs show(), which opens a modal box, and reads the box back before closing it.
ShownBox captureBox(const std::function<void()>& show) {
    ShownBox shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        shown.title = box->windowTitle();
        shown.text = box->text();
        shown.icon = box->icon();
        for (QAbstractButton* button : box->buttons())
            shown.buttons << button->text().remove(u'&');
        shown.parent = box->parentWidget();
        box->accept();
    });
    show();
    return shown;
}

} // namespace

TEST(QtMessageBoxesTests, DisplayText_TurnsCarriageReturnsIntoLineBreaks) {
    EXPECT_EQ(QtMessageBoxes::displayText("a\r\nb\r\rc\nd"), "a\nb\n\nc\nd");
    EXPECT_EQ(QtMessageBoxes::displayText("no breaks"), "no breaks");
}

TEST(QtMessageBoxesTests, ApplicationError_IsAWarningWithOneOkButton) {
    QWidget window;
    QtMessageBoxes boxes(&window);
    const QString text =
        applicationErrorText("Overflow", errorLocation(u"Form1.PushButton2_Click"), 104);
    const ShownBox shown = captureBox([&] { boxes.applicationError(text); });
    EXPECT_EQ(shown.title, "Application Error");
    EXPECT_EQ(shown.icon, QMessageBox::Warning);
    EXPECT_EQ(shown.buttons, QStringList{"OK"});
    EXPECT_EQ(shown.parent, &window);
    EXPECT_EQ(shown.text, "Overflow\nin Strumvane2021/08/31.Form1.PushButton2_Click at line "
                          "104\n\nPlease email screenshot of this message to "
                          "support@strumvane.example");
}

TEST(QtMessageBoxesTests, Information_IsPlainWithOneOkButton) {
    QtMessageBoxes boxes;
    const ShownBox shown = captureBox([&] { boxes.information("Strumvane", "Done."); });
    EXPECT_EQ(shown.title, "Strumvane");
    EXPECT_EQ(shown.text, "Done.");
    EXPECT_EQ(shown.icon, QMessageBox::NoIcon);
    EXPECT_EQ(shown.buttons, QStringList{"OK"});
}
