#pragma once

#include "shell/FolderDialog.h"

// FolderDialog on QFileDialog: directories only, opening at the start folder.
class QtFolderDialog : public FolderDialog {
public:
    QString chooseFolder(QWidget* owner, const QString& title, const QString& startFolder) override;
};
