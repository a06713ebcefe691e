#include "window/QtFolderDialog.h"

#include <QFileDialog>

QString QtFolderDialog::chooseFolder(QWidget* owner, const QString& title,
                                     const QString& startFolder) {
    return QFileDialog::getExistingDirectory(owner, title, startFolder, QFileDialog::ShowDirsOnly);
}
