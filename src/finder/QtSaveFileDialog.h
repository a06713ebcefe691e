#pragma once

#include "finder/SaveFileDialog.h"

// SaveFileDialog on QFileDialog, which is the desktop's own dialog where the platform offers
// one (a portal, GTK, KDE) and Qt's otherwise.
class QtSaveFileDialog : public SaveFileDialog {
public:
    QString chooseSaveFile(QWidget* owner, const QString& title, const QString& startPath,
                           const QString& filter, const QString& suffix) override;
};
