// Pointer feedback and the optional skin of the main window.
#include "window/Form1.h"

#include "window/ChartPicture.h"
#include "window/SkinFramework.h"

#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>

void Form1::HandPointer() {
    if (cursor().shape() != Qt::WaitCursor)
        setCursor(customPointer);
}

void Form1::DefaultPointer() {
    if (cursor().shape() != Qt::WaitCursor)
        setCursor(Qt::ArrowCursor);
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    // Qt hands a move that a child ignored on to its parent (a push button ignores every move
    // without a pressed button): only a move over the bare background is the background's.
    if (childAt(event->position().toPoint()) == nullptr)
        DefaultPointer();
    QWidget::mouseMoveEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // The frames report pointer moves over their own area, as the background does; moves
    // passed up from a control inside a frame are not the frame's.
    if (event->type() == QEvent::MouseMove) {
        if (auto* frame = qobject_cast<QGroupBox*>(watched)) {
            const auto* move = static_cast<QMouseEvent*>(event);
            if (frame->childAt(move->position().toPoint()) == nullptr)
                DefaultPointer();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::ApplySkin() {
    const QString path = programFolder + QStringLiteral("/x/o.cjs");
    const QFileInfo info(path);
    if (!info.isFile() || info.isHidden())
        return;

    // The button face of the system palette stands for the classic button-face colour.
    const QColor buttonFace = QGuiApplication::palette().color(QPalette::Button);
    const auto recolour = [&](QWidget* widget) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, buttonFace);
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    };
    recolour(this);
    for (QWidget* child : findChildren<QWidget*>()) {
        if (qobject_cast<QRadioButton*>(child) || qobject_cast<QCheckBox*>(child) ||
            qobject_cast<QGroupBox*>(child) || qobject_cast<QLabel*>(child) ||
            qobject_cast<ChartPicture*>(child))
            recolour(child);
    }

    SkinFramework1->loadSkin(path, QString());
    SkinFramework1->setOptions(SkinFramework1->options() | 1);
    SkinFramework1->setBoolProperty(5, true);
    SkinFramework1->setBoolProperty(10, true);
    SkinFramework1->applyWindow(static_cast<qint32>(winId()), this);
}
