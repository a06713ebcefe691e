#pragma once

#include <QString>

class QWidget;

// The folder-selection dialog of the browse button. Tests hand the window a fake.
class FolderDialog {
public:
    virtual ~FolderDialog() = default;

    // Lets the user choose an existing directory, opening at `startFolder` (may be empty).
    // Returns its path without a trailing separator added ("/home/ann/Charts", or "/" for the
    // root folder), or the empty text when the user cancels.
    virtual QString chooseFolder(QWidget* owner, const QString& title,
                                 const QString& startFolder) = 0;
};
