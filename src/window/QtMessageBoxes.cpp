#include "window/QtMessageBoxes.h"

#include <QMessageBox>

namespace {

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
    QMessageBox box(icon, title, QtMessageBoxes::displayText(text), QMessageBox::Ok, parent);
    // The texts are plain (folder paths may contain "<"), never rich text.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

QtMessageBoxes::QtMessageBoxes(QWidget* parent) : m_parent(parent) {}

void QtMessageBoxes::setParentWidget(QWidget* parent) {
    m_parent = parent;
}

void QtMessageBoxes::information(const QString& title, const QString& text) {
    showBox(m_parent, QMessageBox::NoIcon, title, text);
}

void QtMessageBoxes::applicationError(const QString& text) {
    showBox(m_parent, QMessageBox::Warning, QStringLiteral("Application Error"), text);
}

QString QtMessageBoxes::displayText(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}
