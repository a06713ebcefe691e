#include "finder/QtSaveFileDialog.h"

#include <QFileDialog>

QString QtSaveFileDialog::chooseSaveFile(QWidget* owner, const QString& title,
                                         const QString& startPath, const QString& filter,
                                         const QString& suffix) {
    QFileDialog dialog(owner, title, startPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}
