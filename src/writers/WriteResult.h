#pragma once

#include <QString>

// How a whole-file write ended (ImageFolder::writeFile, ImageFile::writeFile).
enum class WriteResult {
    Written,
    FolderMissing, // the target's folder does not exist (or a part of its path is a file)
    AccessDenied,  // the folder or the existing target may not be written, or the target
                   // is not a regular file (a folder, a device, a link, a pipe)
    BadName,       // the name cannot be written exactly as given (invalid UTF-16, NUL)
    Failed,        // any other failure: the disk is full, ...
};

// The words for a failed write, as a message beside the file's name shows them: the system's
// words for `error` (an errno value, "No space left on device") when it is not 0; else the
// result's own: "No such file or directory" for FolderMissing, "Permission denied" for
// AccessDenied, "the name cannot be written exactly as given" for BadName, "Input/output
// error" for anything else.
QString writeResultText(WriteResult result, int error = 0);

// The result of a write that the system refused with `error` (an errno value, not 0): ENOENT
// gives FolderMissing, EACCES AccessDenied, ENAMETOOLONG BadName, ENOSPC Failed.
WriteResult writeResultFor(int error);
