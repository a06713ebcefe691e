#pragma once

#include "writers/FileDraft.h"
#include "writers/WriteResult.h"

#include <QByteArray>
#include <QString>

// A folder opened once for a run of file writes (one command of the window, one run of the
// tool). Every file is created and renamed relative to the folder's descriptor, so a folder
// that is moved or renamed during the run still receives every file, whole, under its new
// name, and keeps no temporary file.
//
// A file's new content goes into an unnamed temporary file (O_TMPFILE) that is linked in only
// once complete; on a file system without unnamed files (NFS, CIFS, FAT), into a hidden file
// ".strumvane-HOST-PID-N.tmp" beside the target that is renamed over it (FileDraft). The host
// in the name lets a later run tell its own machine's leftovers, whose process it can ask
// after, from another machine's on a shared folder. An existing target is replaced only when
// this process could write it in place and it is a regular file; the new file keeps the old
// file's permission bits.
//
// All const calls are safe from several threads at once on one object.
//
// Example:
//   const ImageFolder folder(QStringLiteral("/home/ann/Charts"));
//   folder.removeStaleTemporaries();
//   folder.writeFile(QStringLiteral("Cmaj C-G-C-E-G-C 1.jpg"), jpegBytes);
class ImageFolder {
public:
    // Which temporary files the writes use: unnamed ones where the file system has them, or
    // always named ones, as on a file system without unnamed files.
    enum class Temporaries { UnnamedWherePossible, NamedOnly };

    // Opens `folder` (a path to a directory, relative paths from the working folder). A
    // folder that cannot be opened makes every writeFile answer why (openResult()).
    explicit ImageFolder(const QString& folder,
                         Temporaries temporaries = Temporaries::UnnamedWherePossible);
    ~ImageFolder();

    ImageFolder(const ImageFolder&) = delete;
    ImageFolder& operator=(const ImageFolder&) = delete;

    // The folder text this object was opened for, unchanged.
    const QString& path() const { return m_path; }
    // Written when the folder is open; else FolderMissing, AccessDenied, BadName or Failed.
    WriteResult openResult() const { return m_openResult; }

    // Writes `data` as the complete content of the file `name` (no "/") in the folder.
    // BadName for a name that is empty, "." or "..", holds "/" or NUL, or does not survive the
    // conversion to the file system's bytes unchanged; AccessDenied for an existing target
    // that is not a regular file or that this process may not write. On a failure `reason`,
    // when given, receives the system's words for it ("No space left on device").
    WriteResult writeFile(const QString& name, const QByteArray& data,
                          QString* reason = nullptr) const;
    // The file `name` written piece by piece, which takes its name only at commit(); a name
    // or folder refused as by writeFile() gives a draft that has failed already.
    FileDraft draft(const QString& name) const;

    // True once the folder opened has been removed (a folder moved elsewhere is not removed);
    // false for a folder that never opened.
    bool isRemoved() const;

    // Whether a file can be created in the folder now: creates and drops a temporary file.
    // On a failure `reason`, when given, receives the system's words for it.
    WriteResult probe(QString* reason = nullptr) const;

    // Removes the temporary files ".strumvane-HOST-PID-N.tmp" that processes of this machine
    // which no longer run left in the folder (killed during a write); other machines' stay.
    // The older names ".strumvane-PID-N.tmp" say no machine: they go only from a folder on a
    // local file system, where no other machine writes. Returns how many were removed.
    int removeStaleTemporaries() const;

    // A file's path as the folder to open and the name in it: "/home/ann/Charts/a.jpg" gives
    // "/home/ann/Charts/" and "a.jpg"; a bare name "a.jpg" gives "." and "a.jpg".
    struct PathParts {
        QString folder;
        QString name;
    };
    static PathParts splitPath(const QString& fileName);

    // The name of a temporary file of process `pid` of this machine
    // ("." + "strumvane-studio-4711-3.tmp" on the host "studio").
    static QByteArray temporaryName(qint64 pid, quint64 serial);
    // A temporary name of this process that no other call has given.
    static QByteArray newTemporaryName();
    // This machine's name as temporary names carry it: the host name, each byte other than a
    // letter, digit, ".", "-" or "_" written as "_".
    static const QByteArray& hostTag();

    // `text` converted to the file system's bytes, or an empty array when the conversion
    // would change it (invalid UTF-16, an embedded NUL): a name that cannot be written as it
    // stands.
    static QByteArray exactNativeName(const QString& text);

private:
    QString m_path;
    Temporaries m_temporaries;
    int m_fd = -1;
    int m_openError = 0;
    WriteResult m_openResult = WriteResult::Failed;
};
