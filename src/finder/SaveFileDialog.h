#pragma once

#include <QString>

class QWidget;

// Where the user wants a file saved: the desktop's save dialog. Tests hand the finder a fake.
class SaveFileDialog {
public:
    virtual ~SaveFileDialog() = default;

    // Asks for a file to save, opening at `startPath` (a folder, or a file name in one),
    // offering the files of `filter` ("PDF lesson sheet (*.pdf)"). Returns the path chosen,
    // with ".`suffix`" added when the name typed has no suffix ("/home/ann/lesson.pdf"), or
    // the empty text when the user cancels. An existing file is replaced only after the
    // dialog asked.
    virtual QString chooseSaveFile(QWidget* owner, const QString& title, const QString& startPath,
                                   const QString& filter, const QString& suffix) = 0;
};
